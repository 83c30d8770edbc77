// LibreCadDocument.cpp - the conversions between LibreCAD's entity data (DPI keys in a hash of
// variants, vertices with bulges) and LcEntity.
#include "vel/librecad/LibreCadDocument.h"

#include <QHash>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <cmath>
#include <numbers>

#include "document_interface.h"

namespace vel::librecad {

namespace {

QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}
std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}
double number(const QHash<int, QVariant>& data, int key) {
    return data.value(key).toDouble();
}
Point pointAt(const QHash<int, QVariant>& data, int xKey, int yKey) {
    return {number(data, xKey), number(data, yKey)};
}

enum DPI::ETYPE typeOf(LcKind kind) {  // ETYPE also names a key of entity data
    switch (kind) {
        case LcKind::Point:
            return DPI::POINT;
        case LcKind::Line:
            return DPI::LINE;
        case LcKind::Arc:
            return DPI::ARC;
        case LcKind::Circle:
            return DPI::CIRCLE;
        case LcKind::Ellipse:
            return DPI::ELLIPSE;
        case LcKind::Polyline:
            return DPI::POLYLINE;
        case LcKind::Text:
            return DPI::TEXT;
        case LcKind::Other:
            break;
    }
    return DPI::UNKNOWN;
}

const char* wordOf(int type) {
    switch (type) {
        case DPI::CONSTRUCTIONLINE:
            return "XLINE";
        case DPI::IMAGE:
            return "IMAGE";
        case DPI::SOLID:
            return "SOLID";
        case DPI::MTEXT:
            return "MTEXT";
        case DPI::TEXT:
            return "TEXT";
        case DPI::INSERT:
            return "INSERT";
        case DPI::SPLINE:
            return "SPLINE";
        case DPI::SPLINEPOINTS:
            return "SPLINE";
        case DPI::HATCH:
            return "HATCH";
        case DPI::DIMLEADER:
            return "LEADER";
        default:
            return type >= DPI::DIMALIGNED && type <= DPI::DIMANGULAR ? "DIMENSION" : "ENTITY";
    }
}

LcEntity entityOf(Plug_Entity* handle) {
    QHash<int, QVariant> data;
    handle->getData(&data);
    LcEntity e;
    const int type = data.value(DPI::ETYPE).toInt();
    e.id = data.value(DPI::EID).toULongLong();
    e.type = wordOf(type);
    e.layer = utf8(data.value(DPI::LAYER).toString());
    e.color = data.value(DPI::COLOR).toInt();
    e.lineType = utf8(data.value(DPI::LTYPE).toString());
    switch (type) {
        case DPI::POINT:
            e.kind = LcKind::Point;
            e.type = "POINT";
            e.vertices = {{pointAt(data, DPI::STARTX, DPI::STARTY), 0.0}};
            break;
        case DPI::LINE:
            e.kind = LcKind::Line;
            e.type = "LINE";
            e.vertices = {{pointAt(data, DPI::STARTX, DPI::STARTY), 0.0},
                          {pointAt(data, DPI::ENDX, DPI::ENDY), 0.0}};
            break;
        case DPI::ARC:
        case DPI::CIRCLE:
            e.kind = type == DPI::ARC ? LcKind::Arc : LcKind::Circle;
            e.type = type == DPI::ARC ? "ARC" : "CIRCLE";
            e.centre = pointAt(data, DPI::STARTX, DPI::STARTY);
            e.radius = number(data, DPI::RADIUS);
            e.start = number(data, DPI::STARTANGLE);
            e.end = number(data, DPI::ENDANGLE);
            e.reversed = data.value(DPI::REVERSED).toBool();
            break;
        case DPI::ELLIPSE:
            e.kind = LcKind::Ellipse;
            e.type = "ELLIPSE";
            e.centre = pointAt(data, DPI::STARTX, DPI::STARTY);
            e.majorAxis = pointAt(data, DPI::ENDX, DPI::ENDY);
            e.ratio = number(data, DPI::HEIGHT);
            e.start = number(data, DPI::STARTANGLE);
            e.end = number(data, DPI::ENDANGLE);
            e.reversed = data.value(DPI::REVERSED).toBool();
            break;
        case DPI::POLYLINE: {
            e.kind = LcKind::Polyline;
            e.type = "POLYLINE";
            e.closed = data.value(DPI::CLOSEPOLY).toInt() != 0;
            QList<Plug_VertexData> vertices;
            handle->getPolylineData(&vertices);
            for (const Plug_VertexData& v : vertices)
                e.vertices.push_back({{v.point.x(), v.point.y()}, v.bulge});
            break;
        }
        default:
            e.kind = type == DPI::TEXT || type == DPI::MTEXT ? LcKind::Text : LcKind::Other;
            break;
    }
    return e;
}

QHash<int, QVariant> dataOf(const LcEntity& e) {
    QHash<int, QVariant> data;
    data.insert(DPI::LAYER, qs(e.layer));
    data.insert(DPI::COLOR, e.color);
    data.insert(DPI::LTYPE, qs(e.lineType));
    const Point first = e.vertices.empty() ? Point{} : e.vertices.front().p;
    switch (e.kind) {
        case LcKind::Point:
        case LcKind::Text:
            data.insert(DPI::STARTX, first.x);
            data.insert(DPI::STARTY, first.y);
            if (e.kind == LcKind::Text) {
                data.insert(DPI::TEXTCONTENT, qs(e.text));
                data.insert(DPI::HEIGHT, e.height);
                data.insert(DPI::STARTANGLE, e.angle);
            }
            break;
        case LcKind::Line:
            data.insert(DPI::STARTX, first.x);
            data.insert(DPI::STARTY, first.y);
            data.insert(DPI::ENDX, e.vertices.back().p.x);
            data.insert(DPI::ENDY, e.vertices.back().p.y);
            break;
        case LcKind::Arc:
        case LcKind::Circle:
            data.insert(DPI::STARTX, e.centre.x);
            data.insert(DPI::STARTY, e.centre.y);
            data.insert(DPI::RADIUS, e.radius);
            if (e.kind == LcKind::Arc) {
                data.insert(DPI::STARTANGLE, e.start);
                data.insert(DPI::ENDANGLE, e.end);
            }
            break;
        case LcKind::Polyline:
            data.insert(DPI::CLOSEPOLY, e.closed ? 1 : 0);
            break;
        case LcKind::Ellipse:
            // Only an entity of the drawing's own, put back, is an ellipse.
            data.insert(DPI::STARTX, e.centre.x);
            data.insert(DPI::STARTY, e.centre.y);
            data.insert(DPI::ENDX, e.majorAxis.x);
            data.insert(DPI::ENDY, e.majorAxis.y);
            data.insert(DPI::HEIGHT, e.ratio);
            data.insert(DPI::STARTANGLE, e.start);
            data.insert(DPI::ENDANGLE, e.end);
            break;
        case LcKind::Other:
            break;
    }
    return data;
}

}  // namespace

LibreCadDocument::~LibreCadDocument() {
    for (Plug_Entity* e : read_) delete e;
}

std::vector<std::pair<Plug_Entity*, LcEntity>> LibreCadDocument::readAll() {
    QList<Plug_Entity*> all;
    doc_->getAllEntities(&all, true);
    std::vector<std::pair<Plug_Entity*, LcEntity>> out;
    out.reserve(static_cast<size_t>(all.size()));
    for (Plug_Entity* e : all) {
        read_.push_back(e);
        out.emplace_back(e, entityOf(e));
    }
    return out;
}

std::uint64_t LibreCadDocument::idOf(Plug_Entity* entity) {
    QHash<int, QVariant> data;
    entity->getData(&data);
    return data.value(DPI::EID).toULongLong();
}

LcEntity LibreCadDocument::read(Plug_Entity* entity) {
    return entityOf(entity);
}

Plug_Entity* LibreCadDocument::show(const LcEntity& entity) {
    Plug_Entity* handle = doc_->newEntity(typeOf(entity.kind));
    if (!handle) return nullptr;
    makeLayer(qs(entity.layer));
    // A polyline is closed before its vertices are given.
    QHash<int, QVariant> data = dataOf(entity);
    handle->updateData(&data);
    if (entity.kind == LcKind::Polyline) {
        QList<Plug_VertexData> vertices;
        for (const LcVertex& v : entity.vertices) vertices.append({QPointF(v.p.x, v.p.y), v.bulge});
        handle->updatePolylineData(&vertices);
    }
    doc_->addEntity(handle);
    return handle;
}

void LibreCadDocument::makeLayer(const QString& name) {
    if (layers_.isEmpty())
        for (const QString& layer : doc_->getAllLayer()) layers_.insert(layer);
    if (layers_.contains(name)) return;
    // Making a layer makes it the current one, which it was not.
    const QString current = doc_->getCurrentLayer();
    doc_->setLayer(name);
    doc_->setLayer(current);
    layers_.insert(name);
}

void LibreCadDocument::remove(Plug_Entity* entity) {
    doc_->removeEntity(entity);
}

std::string LibreCadDocument::currentLayer() const {
    return utf8(doc_->getCurrentLayer());
}

void LibreCadDocument::setCurrentLayer(const std::string& name) {
    doc_->setLayer(qs(name));
}

void LibreCadDocument::refresh() {
    doc_->updateView();
}

}  // namespace vel::librecad
