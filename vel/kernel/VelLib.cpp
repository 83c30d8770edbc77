// VelLib.cpp - the host library's C entry points over the stand-in host, each
// written to the trace with its arguments, out-parameters and result.
#include "host/VelLib.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "vel/kernel/FigureOps.h"
#include "vel/kernel/Host.h"
#include "vel/kernel/Refusals.h"
#include "vel/kernel/Text.h"

using json = nlohmann::ordered_json;
using vel::Host;

namespace {

Host& host() {
    return Host::instance();
}
vel::Drawing& drawing() {
    return Host::instance().drawing();
}
// For the calls that only look: a segment the drawing hands out for change is marked for the
// spatial index, which measures it again at its next query (every one of a million elements,
// after a plug-in has only read them).
const vel::Drawing& view() {
    return static_cast<const Host&>(Host::instance()).drawing();
}

json toJson(const VelPoint* p) {
    if (!p) return nullptr;
    return json::array({p->x, p->y});
}

json toJson(const FigureData* f) {
    if (!f) return nullptr;
    json values = json::array();
    for (double v : f->values) values.push_back(v);
    return {{"type", f->type}, {"values", values}};
}

json toJson(const FigureRef* r) {
    if (!r) return nullptr;
    return {{"instance", r->instanceId}, {"id", r->id}};
}

json toJson(const SelIdRecord* r) {
    if (!r) return nullptr;
    return {{"segment", r->segmentId}, {"instance", r->instanceId}};
}

json toJson(const LineAttributes* a) {
    if (!a) return nullptr;
    return {{"color", a->color}, {"ltype", a->lineType}, {"reserved", a->reserved}};
}

json toJson(const ArrowData* a) {
    if (!a) return nullptr;
    return {{"kind", a->kind}, {"size1", a->size1}, {"size2", a->size2}};
}

json toJson(const VelRecordPoint& p) {
    return {{"x", p.x}, {"y", p.y}, {"tag", p.tag}, {"flag", p.flag}};
}

json toJson(const EchoData* e) {
    if (!e) return nullptr;
    return {{"kind", e->kind}, {"point", json::array({e->point.x, e->point.y})}};
}

json toJson(const LeaderData* d) {
    if (!d) return nullptr;
    json points = json::array();
    for (const VelRecordPoint& p : d->points) points.push_back(toJson(p));
    return {{"kind", d->kind},
            {"points", points},
            {"text", vel::toUtf8(vel::fromHostText(d->text))},
            {"textFlag", d->textFlag},
            {"arrow", toJson(&d->arrow)},
            {"direction", d->direction}};
}

json toJson(const LengthDimensionData* d) {
    if (!d) return nullptr;
    return {{"a", toJson(d->a)},      {"b", toJson(d->b)},         {"value72", d->value72},
            {"flag80", d->flag80},    {"direction", d->direction}, {"flag96", d->flag96},
            {"value104", d->value104}};
}

json textJson(const VelChar* text) {
    if (!text) return nullptr;
    return vel::toUtf8(text);
}

json callbackJson(const void* f) {
    return f ? json("callback") : json(nullptr);
}

json eventJson(const VelEventData* e) {
    if (!e) return nullptr;
    return {{"code", e->code}};
}

void trace(const char* fn, json args, json ret) {
    json line = {{"fn", fn}, {"args", std::move(args)}, {"ret", std::move(ret)}};
    host().writeTraceLine(line.dump(-1, ' ', false, json::error_handler_t::replace));
}

}  // namespace

// Arguments are only turned into JSON when a trace is being written.
#define TRACE(fn, args, ret)                        \
    do {                                            \
        if (host().tracing()) trace(fn, args, ret); \
    } while (0)

namespace {

// Why a call was refused, for a window to say beside the plug-in's own message.
void refuse(vel::Words why) {
    host().noteRefusal(std::move(why));
}

using vel::says;

vel::Words instanceRefusal(int instanceId) {
    return says(VEL_WORDING("Refusals", "instance %1 is not the drawing's (0 or 1)"),
                {std::to_string(instanceId)});
}

bool finite(const FigureData* f) {
    for (double v : f->values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool isFigureSegment(const vel::Segment* s) {
    return s && s->kind == vel::SegmentKind::Figure;
}

// Elements the plug-in creates directly; corners come only through VelFigAddCorner.
bool creatableFigure(const FigureData* f) {
    if (!f || !finite(f)) return false;
    switch (f->type) {
        case VEL_FIG_LINE:
        case VEL_FIG_POINT:
            return true;
        case VEL_FIG_CIRCLE:
            return f->values[2] > 0.0;
        case VEL_FIG_ARC:
            return f->values[6] > 0.0;
        default:
            return false;
    }
}

vel::FigureElement toElement(const FigureData* f) {
    vel::FigureElement e;
    e.type = static_cast<vel::FigureType>(f->type);
    for (int i = 0; i < 10; ++i) e.values[i] = f->values[i];
    return e;
}

void fromElement(const vel::FigureElement& e, FigureData* out) {
    out->type = static_cast<int32_t>(e.type);
    out->reserved = 0;
    for (int i = 0; i < 10; ++i) out->values[i] = e.values[i];
}

// Empty when the handle is the open selection's and there is a record to fill.
vel::Words selectionRefusal(int handle, bool hasRecord = true) {
    if (handle == 0 || handle != host().openSelectionHandle())
        return says(VEL_WORDING("Refusals", "selection %1 is not open"), {std::to_string(handle)});
    if (!hasRecord)
        return says(VEL_WORDING("Refusals", "no place was given for the selection's entry"));
    return {};
}

vel::Words idSetRefusal(int set) {
    return says(VEL_WORDING("Refusals", "id set %1 is not the host's; it keeps set %2"),
                {std::to_string(set), std::to_string(Host::kScratchSet)});
}

}  // namespace

extern "C" {

// ---- Control, events, messages ------------------------------------------------

int VelCtlRegisterVelLib2(VelReadyFunc firstReady, VelPreStartFunc preStart,
                          VelTerminateFunc terminate) {
    int ret = 0;
    if (firstReady) {
        host().registerCommand(firstReady, preStart, terminate);
        ret = 1;
    } else {
        refuse(says(VEL_WORDING(
            "Refusals",
            "a command is registered with the function that starts it, and none was given")));
    }
    TRACE("VelCtlRegisterVelLib2",
          json::array({callbackJson((void*)firstReady), callbackJson((void*)preStart),
                       callbackJson((void*)terminate)}),
          ret);
    return ret;
}

int VelCtlSetReadyFunc(VelReadyFunc ready) {
    host().setReadyFunc(ready);
    TRACE("VelCtlSetReadyFunc", json::array({callbackJson((void*)ready)}), 0);
    return 0;
}

int VelCtlSetExecuteFunc(VelExecuteFunc execute, const VelChar* name) {
    host().setExecuteFunc(execute);
    TRACE("VelCtlSetExecuteFunc", json::array({callbackJson((void*)execute), textJson(name)}), 0);
    return 0;
}

int VelEvtSetEventMask(int mask) {
    host().setEventMask(mask);
    TRACE("VelEvtSetEventMask", json::array({mask}), 0);
    return 0;
}

int VelEvtGetPoint(int code, VelEventData* data, VelPoint* point) {
    int ret = -1;
    if (code == VEL_EVENT_POINTER && data && data->hasPoint && point) {
        point->x = data->point.x;
        point->y = data->point.y;
        ret = 0;
    } else if (!data || !point) {
        // Any other input simply has no point: asking is how a step tells them apart.
        refuse(says(data ? VEL_WORDING("Refusals", "no place was given for the point")
                         : VEL_WORDING("Refusals", "no event was given")));
    }
    TRACE("VelEvtGetPoint", json::array({code, eventJson(data), ret == 0 ? toJson(point) : json()}),
          ret);
    return ret;
}

int VelEvtGetSegmentId(int code, VelEventData* data) {
    const int ret = data ? data->segmentId : -1;
    if (!data) refuse(says(VEL_WORDING("Refusals", "no event was given")));
    TRACE("VelEvtGetSegmentId", json::array({code, eventJson(data)}), ret);
    return ret;
}

int VelEvtGetInstanceId(int code, VelEventData* data) {
    const int ret = data ? data->instanceId : -1;
    if (!data) refuse(says(VEL_WORDING("Refusals", "no event was given")));
    TRACE("VelEvtGetInstanceId", json::array({code, eventJson(data)}), ret);
    return ret;
}

int VelEvtGetElementId(int code, VelEventData* data) {
    const int ret = data ? data->elementId : -1;
    if (!data) refuse(says(VEL_WORDING("Refusals", "no event was given")));
    TRACE("VelEvtGetElementId", json::array({code, eventJson(data)}), ret);
    return ret;
}

int VelEvtSetEcho(const EchoData* echo) {
    int ret = -1;
    if (echo) {
        if (echo->kind == 2)
            host().setEcho(vel::Point{echo->point.x, echo->point.y});
        else
            host().setEcho(std::nullopt);
        ret = 0;
    } else {
        refuse(says(VEL_WORDING("Refusals", "no echo was given")));
    }
    TRACE("VelEvtSetEcho", json::array({toJson(echo)}), ret);
    return ret;
}

int VelEvtSetCompareFunction(VelCompareFunc compare) {
    host().setCompare(compare);
    TRACE("VelEvtSetCompareFunction", json::array({callbackJson((void*)compare)}), 0);
    return 0;
}

int VelMsgPutMessage(const VelChar* text) {
    host().putPrompt(vel::fromHostText(text));
    TRACE("VelMsgPutMessage", json::array({textJson(text)}), 0);
    return 0;
}

int VelDlgMessageBox(const VelChar* text) {
    // The trace line comes first so that it stands before what the box prints.
    TRACE("VelDlgMessageBox", json::array({textJson(text)}), 1);
    return host().messageBox(vel::fromHostText(text));
}

// ---- Id sets ------------------------------------------------------------------

int VelIddClearSysIdData(void) {
    host().clearSelection();
    TRACE("VelIddClearSysIdData", json::array(), 0);
    return 0;
}

int VelIddOpenSelIdData(int mode) {
    const int ret = host().openSelection();
    TRACE("VelIddOpenSelIdData", json::array({mode}), ret);
    return ret;
}

int VelIddGetHeadSelIdData(int handle, SelIdRecord* record) {
    const int ret = host().selectionHead(handle, record);
    if (ret == -1) refuse(selectionRefusal(handle, record));
    TRACE("VelIddGetHeadSelIdData", json::array({handle, ret == 0 ? toJson(record) : json()}), ret);
    return ret;
}

int VelIddGetNextSelIdData(int handle, SelIdRecord* record) {
    const int ret = host().selectionNext(handle, record);
    // Running off the end of the selection is its answer, not a refusal.
    if (ret == -1)
        if (vel::Words why = selectionRefusal(handle, record); !why.empty()) refuse(why);
    TRACE("VelIddGetNextSelIdData", json::array({handle, ret == 0 ? toJson(record) : json()}), ret);
    return ret;
}

int VelIddCloseSelIdData(int handle) {
    const int ret = host().closeSelection(handle);
    if (ret == -1) refuse(selectionRefusal(handle));
    TRACE("VelIddCloseSelIdData", json::array({handle}), ret);
    return ret;
}

int VelIddOpenApIdData(int set, int mode) {
    const int ret = host().openApSet(set);
    if (ret == -1) refuse(idSetRefusal(set));
    TRACE("VelIddOpenApIdData", json::array({set, mode}), ret);
    return ret;
}

int VelIddInitApIdData(int set) {
    const int ret = host().initApSet(set);
    if (ret == -1) refuse(idSetRefusal(set));
    TRACE("VelIddInitApIdData", json::array({set}), ret);
    return ret;
}

int VelIddCloseApIdData(int set) {
    const int ret = host().closeApSet(set);
    if (ret == -1) refuse(idSetRefusal(set));
    TRACE("VelIddCloseApIdData", json::array({set}), ret);
    return ret;
}

// ---- Segments and elements ------------------------------------------------------

int VelSgmCreateSegment(int kind, int reserved) {
    int ret = -1;
    if (kind >= 0 && kind <= 2)
        ret = drawing().createSegment(static_cast<vel::SegmentKind>(kind));
    else
        refuse(says(
            VEL_WORDING("Refusals",
                        "segment kind %1 is none of 0 (figure), 1 (dimension) and 2 (comment)"),
            {std::to_string(kind)}));
    TRACE("VelSgmCreateSegment", json::array({kind, reserved}), ret);
    return ret;
}

int VelSgmDeleteSegment(int segmentId) {
    const int ret = drawing().deleteSegment(segmentId) ? 0 : -1;
    // Id 0 is no segment at all: a plug-in clears away what it may not have made.
    if (ret == -1 && segmentId != 0) refuse(vel::segmentRefusal(view(), segmentId));
    TRACE("VelSgmDeleteSegment", json::array({segmentId}), ret);
    return ret;
}

int VelSgmChangeLayer(int segmentId, int layer) {
    int ret = -1;
    vel::Segment* s = drawing().segment(segmentId);
    if (s && layer >= 0) {
        drawing().createLayer(layer);
        s->layer = layer;
        ret = 0;
    } else {
        refuse(s ? says(VEL_WORDING("Refusals", "layer %1 cannot be: layers are numbered from 0"),
                        {std::to_string(layer)})
                 : vel::segmentRefusal(view(), segmentId));
    }
    TRACE("VelSgmChangeLayer", json::array({segmentId, layer}), ret);
    return ret;
}

int VelSgmEditSegment(int segmentId, const VelPoint* base, const VelPoint* target,
                      double angleDegrees, double scale, int inPlace) {
    int ret = -1;
    if (base && target)
        ret = vel::editSegment(drawing(), segmentId, {base->x, base->y}, {target->x, target->y},
                               angleDegrees, scale, inPlace != 0);
    if (ret == -1) refuse(vel::editRefusal(view(), segmentId, base, target, angleDegrees, scale));
    TRACE("VelSgmEditSegment",
          json::array({segmentId, toJson(base), toJson(target), angleDegrees, scale, inPlace}),
          ret);
    return ret;
}

int VelSgmGetElementCount(int segmentId) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s ? static_cast<int>(s->elements.size()) : -1;
    if (!s) refuse(vel::segmentRefusal(view(), segmentId));
    TRACE("VelSgmGetElementCount", json::array({segmentId}), ret);
    return ret;
}

int VelSgmGetHeadElementId(int segmentId) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s && !s->elements.empty() ? s->elements.front().id : -1;
    if (!s) refuse(vel::segmentRefusal(view(), segmentId));
    TRACE("VelSgmGetHeadElementId", json::array({segmentId}), ret);
    return ret;
}

int VelSgmGetTailElementId(int segmentId) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s && !s->elements.empty() ? s->elements.back().id : -1;
    if (!s) refuse(vel::segmentRefusal(view(), segmentId));
    TRACE("VelSgmGetTailElementId", json::array({segmentId}), ret);
    return ret;
}

int VelSgmGetType(int segmentId) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s ? static_cast<int>(s->kind) : -1;
    if (!s) refuse(vel::segmentRefusal(view(), segmentId));
    TRACE("VelSgmGetType", json::array({segmentId}), ret);
    return ret;
}

int VelSgmHasAttribute(int segmentId, int attribute) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s && s->attributes.count(attribute) ? 1 : 0;
    TRACE("VelSgmHasAttribute", json::array({segmentId, attribute}), ret);
    return ret;
}

int VelSgmSearchSegment2(int instanceId, VelSegmentFilterFunc filter, int set) {
    const int ret = host().searchSegments(instanceId, filter, set);
    if (ret == -1)
        refuse(vel::isDrawingInstance(instanceId) ? idSetRefusal(set)
                                                  : instanceRefusal(instanceId));
    TRACE("VelSgmSearchSegment2", json::array({instanceId, callbackJson((void*)filter), set}), ret);
    return ret;
}

int VelElmDeleteElement(int elementId) {
    const int ret = drawing().deleteElement(elementId) ? 0 : -1;
    if (ret == -1) refuse(vel::elementRefusal(view(), elementId));
    TRACE("VelElmDeleteElement", json::array({elementId}), ret);
    return ret;
}

// The next or previous element; none past the ends of an open figure.
static int stepElement(int elementId, int step) {
    const vel::Segment* s = view().segmentOfElement(elementId);
    if (!s) {
        refuse(vel::elementRefusal(view(), elementId));
        return -1;
    }
    const int j = vel::neighbourElement(*s, view().elementIndex(elementId), step, false);
    return j < 0 ? -1 : s->elements[j].id;
}

int VelElmGetNextElementId(int elementId) {
    const int ret = stepElement(elementId, 1);
    TRACE("VelElmGetNextElementId", json::array({elementId}), ret);
    return ret;
}

int VelElmGetPrevElementId(int elementId) {
    const int ret = stepElement(elementId, -1);
    TRACE("VelElmGetPrevElementId", json::array({elementId}), ret);
    return ret;
}

int VelElmGetSegment(int elementId) {
    const vel::Segment* s = view().segmentOfElement(elementId);
    const int ret = s ? s->id : -1;
    if (!s) refuse(vel::elementRefusal(view(), elementId));
    TRACE("VelElmGetSegment", json::array({elementId}), ret);
    return ret;
}

// ---- Figures ----------------------------------------------------------------------

int VelFigCreateFigure(int segmentId, const FigureData* figure) {
    int ret = -1;
    if (isFigureSegment(drawing().segment(segmentId)) && creatableFigure(figure))
        ret = drawing().appendElement(segmentId, toElement(figure));
    else if (const vel::Words why =
                 vel::segmentRefusal(view(), segmentId, vel::SegmentKind::Figure);
             !why.empty())
        refuse(why);
    else
        refuse(vel::figureRefusal(figure));
    TRACE("VelFigCreateFigure", json::array({segmentId, toJson(figure)}), ret);
    return ret;
}

int VelFigInsertFigure(int elementId, const FigureData* figure) {
    int ret = -1;
    if (isFigureSegment(drawing().segmentOfElement(elementId)) && creatableFigure(figure))
        ret = drawing().insertElementBefore(elementId, toElement(figure));
    else if (const vel::Segment* s = view().segmentOfElement(elementId); !s)
        refuse(vel::elementRefusal(view(), elementId));
    else if (!isFigureSegment(s))
        refuse(vel::segmentRefusal(view(), s->id, vel::SegmentKind::Figure));
    else
        refuse(vel::figureRefusal(figure));
    TRACE("VelFigInsertFigure", json::array({elementId, toJson(figure)}), ret);
    return ret;
}

int VelFigSetClosed(int segmentId, int closed) {
    vel::Segment* s = drawing().segment(segmentId);
    int ret = -1;
    if (isFigureSegment(s)) {
        s->closed = closed != 0;
        ret = 0;
    } else {
        refuse(vel::segmentRefusal(view(), segmentId, vel::SegmentKind::Figure));
    }
    TRACE("VelFigSetClosed", json::array({segmentId, closed}), ret);
    return ret;
}

int VelFigIsClosed(int segmentId) {
    const vel::Segment* s = view().segment(segmentId);
    const int ret = s && s->closed ? 1 : 0;
    TRACE("VelFigIsClosed", json::array({segmentId}), ret);
    return ret;
}

int VelFigSetLineType(int elementId, const LineAttributes* attributes) {
    int ret = -1;
    vel::Element* e = drawing().element(elementId);
    if (e && e->figure() && attributes) {
        // The smallest int, which no palette reaches, is none: the layer's (see ElementNumber).
        e->color = attributes->color;
        e->lineType = attributes->lineType;
        ret = 0;
    } else {
        refuse(attributes ? vel::elementRefusal(view(), elementId, vel::ElementWanted::Figure)
                          : says(VEL_WORDING("Refusals", "no colour and line type were given")));
    }
    TRACE("VelFigSetLineType", json::array({elementId, toJson(attributes)}), ret);
    return ret;
}

int VelFigAddCorner(int elementA, int elementB, int kind, double size) {
    const int ret = vel::addCorner(drawing(), elementA, elementB, kind, size);
    if (ret == -1) refuse(vel::cornerRefusal(view(), elementA, elementB, kind, size));
    TRACE("VelFigAddCorner", json::array({elementA, elementB, kind, size}), ret);
    return ret;
}

int VelFigAmendCorner(int cornerId, double size) {
    const int ret = vel::amendCorner(drawing(), cornerId, size);
    if (ret == -1) refuse(vel::amendRefusal(view(), cornerId, size));
    TRACE("VelFigAmendCorner", json::array({cornerId, size}), ret);
    return ret;
}

int VelFigRemoveCorner(int cornerId) {
    const int ret = vel::removeCorner(drawing(), cornerId);
    if (ret == -1) refuse(vel::elementRefusal(view(), cornerId, vel::ElementWanted::Corner));
    TRACE("VelFigRemoveCorner", json::array({cornerId}), ret);
    return ret;
}

int VelFigGetFigure(const FigureRef* element, FigureBuffer* out) {
    int ret = -1;
    if (element && out && vel::isDrawingInstance(element->instanceId)) {
        const vel::Element* e = view().element(element->id);
        if (e && e->figure()) {
            fromElement(*e->figure(), &out->figure);
            for (uint8_t& b : out->hostData) b = 0;
            ret = 0;
        }
    }
    if (ret == -1)
        refuse(!element || !out
                   ? says(VEL_WORDING("Refusals", "no figure or no place for it was given"))
               : !vel::isDrawingInstance(element->instanceId)
                   ? instanceRefusal(element->instanceId)
                   : vel::elementRefusal(view(), element->id, vel::ElementWanted::Figure));
    TRACE("VelFigGetFigure",
          json::array({toJson(element), ret == 0 ? toJson(&out->figure) : json()}), ret);
    return ret;
}

int VelFigGetFigure2(const FigureRef* segment, FigureData* list, int capacity) {
    int ret = -1;
    if (segment && vel::isDrawingInstance(segment->instanceId)) {
        if (const vel::Segment* s = view().segment(segment->id)) {
            ret = 0;
            if (list) {
                for (const vel::Element& e : s->elements) {
                    if (ret >= capacity) break;
                    if (const vel::FigureElement* f = e.figure()) fromElement(*f, &list[ret++]);
                }
            }
        }
    }
    if (ret == -1)
        refuse(!segment ? says(VEL_WORDING("Refusals", "no figure was given"))
               : !vel::isDrawingInstance(segment->instanceId)
                   ? instanceRefusal(segment->instanceId)
                   : vel::segmentRefusal(view(), segment->id));
    if (host().tracing()) {
        json records = json::array();
        for (int i = 0; i < ret; ++i) records.push_back(toJson(&list[i]));
        trace("VelFigGetFigure2", json::array({toJson(segment), records, capacity}), ret);
    }
    return ret;
}

int VelFigGetDirection(int segmentId) {
    const int ret = vel::figureDirection(drawing(), segmentId);
    if (ret == -1) refuse(vel::directionRefusal(view(), segmentId));
    TRACE("VelFigGetDirection", json::array({segmentId}), ret);
    return ret;
}

int VelFigOffset(const FigureRef* segment, double distance) {
    int ret = -1;
    if (segment && vel::isDrawingInstance(segment->instanceId) && std::isfinite(distance))
        ret = vel::offsetSegment(drawing(), segment->id, distance);
    if (ret == -1)
        refuse(!segment ? says(VEL_WORDING("Refusals", "no figure was given"))
               : !vel::isDrawingInstance(segment->instanceId)
                   ? instanceRefusal(segment->instanceId)
                   : vel::offsetRefusal(view(), segment->id, distance));
    TRACE("VelFigOffset", json::array({toJson(segment), distance}), ret);
    return ret;
}

// ---- Layers, dimensions, leaders ----------------------------------------------------

int VelLyrHasLayer(int layer) {
    const int ret = drawing().hasLayer(layer) ? 1 : 0;
    TRACE("VelLyrHasLayer", json::array({layer}), ret);
    return ret;
}

int VelLyrCreateLayer(int layer) {
    int ret = -1;
    if (layer >= 0) {
        drawing().createLayer(layer);
        ret = 0;
    } else {
        refuse(says(VEL_WORDING("Refusals", "layer %1 cannot be: layers are numbered from 0"),
                    {std::to_string(layer)}));
    }
    TRACE("VelLyrCreateLayer", json::array({layer}), ret);
    return ret;
}

int VelDimCreateLineLength(int segmentId, const LengthDimensionData* data) {
    int ret = -1;
    const vel::Segment* s = drawing().segment(segmentId);
    if (s && s->kind == vel::SegmentKind::Dimension && data && std::isfinite(data->a.x) &&
        std::isfinite(data->a.y) && std::isfinite(data->b.x) && std::isfinite(data->b.y) &&
        std::isfinite(data->direction)) {
        vel::DimensionElement d;
        d.a = {data->a.x, data->a.y};
        d.b = {data->b.x, data->b.y};
        d.direction = data->direction;
        ret = drawing().appendElement(segmentId, d);
    } else if (const vel::Words why =
                   vel::segmentRefusal(view(), segmentId, vel::SegmentKind::Dimension);
               !why.empty()) {
        refuse(why);
    } else {
        refuse(data ? says(VEL_WORDING("Refusals",
                                       "the dimension's points or direction are no finite numbers"))
                    : says(VEL_WORDING("Refusals", "no dimension was given")));
    }
    TRACE("VelDimCreateLineLength", json::array({segmentId, toJson(data)}), ret);
    return ret;
}

static vel::DimensionElement* dimension(int id) {
    vel::Element* e = drawing().element(id);
    return e ? std::get_if<vel::DimensionElement>(&e->body) : nullptr;
}

int VelDimSetDecimalPlace(int dimensionId, int places) {
    int ret = -1;
    vel::DimensionElement* d = dimension(dimensionId);
    if (d && places >= 0 && places <= 12) {
        d->decimals = places;
        ret = 0;
    } else {
        refuse(d ? says(VEL_WORDING("Refusals", "%1 decimal places: a dimension shows 0 to 12"),
                        {std::to_string(places)})
                 : vel::elementRefusal(view(), dimensionId, vel::ElementWanted::Dimension));
    }
    TRACE("VelDimSetDecimalPlace", json::array({dimensionId, places}), ret);
    return ret;
}

int VelDimSetArrow(int dimensionId, int which, const ArrowData* arrow) {
    int ret = -1;
    vel::DimensionElement* d = dimension(dimensionId);
    if (d && arrow) {
        d->arrow = {arrow->kind, arrow->size1, arrow->size2};
        ret = 0;
    } else {
        refuse(d ? says(VEL_WORDING("Refusals", "no arrow was given"))
                 : vel::elementRefusal(view(), dimensionId, vel::ElementWanted::Dimension));
    }
    TRACE("VelDimSetArrow", json::array({dimensionId, which, toJson(arrow)}), ret);
    return ret;
}

int VelCmtCreateLeader(int segmentId, const LeaderData* data) {
    int ret = -1;
    const vel::Segment* s = drawing().segment(segmentId);
    bool ok = s && s->kind == vel::SegmentKind::Comment && data && std::isfinite(data->direction);
    if (ok) {
        vel::LeaderElement leader;
        for (const VelRecordPoint& p : data->points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) ok = false;
            leader.points.push_back({p.x, p.y});
        }
        leader.direction = data->direction;
        leader.text = vel::fromHostText(data->text);
        if (ok) ret = drawing().appendElement(segmentId, std::move(leader));
    }
    if (ret == -1) {
        const vel::Words why = vel::segmentRefusal(view(), segmentId, vel::SegmentKind::Comment);
        refuse(!why.empty() ? why
               : data       ? says(VEL_WORDING("Refusals",
                                               "the leader's points or direction are no finite numbers"))
                            : says(VEL_WORDING("Refusals", "no leader was given")));
    }
    TRACE("VelCmtCreateLeader", json::array({segmentId, toJson(data)}), ret);
    return ret;
}

// ---- Arithmetic helpers ----------------------------------------------------------------

double VelAriLen2Pnts(const VelPoint* a, const VelPoint* b) {
    const double ret = a && b ? std::hypot(a->x - b->x, a->y - b->y) : 0.0;
    TRACE("VelAriLen2Pnts", json::array({toJson(a), toJson(b)}), ret);
    return ret;
}

int VelAriOnchkArc(const FigureData* arc, const VelPoint* point) {
    int ret = 0;
    if (arc && point && arc->type == VEL_FIG_ARC && finite(arc))
        ret = vel::pointOnArc(toElement(arc), {point->x, point->y});
    TRACE("VelAriOnchkArc", json::array({toJson(arc), toJson(point)}), ret);
    return ret;
}

}  // extern "C"
