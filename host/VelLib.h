// VelLib.h - declarations of the CAD host's library as the plug-in sees it:
// the callback types, the records exchanged with the host and every host call.
// Texts to and from the host are zero-terminated UTF-16. Ids are 32-bit and -1
// means none or failure.
#ifndef VELLIB_H
#define VELLIB_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define VEL_EXTERN_C extern "C"
#else
#define VEL_EXTERN_C
#endif

/* On Windows the host library is a DLL: its own build (VEL_BUILDING_VELLIB) exports the calls
   and everyone else imports them, so that a plug-in calls through its import table. */
#if defined(_WIN32) && defined(VEL_BUILDING_VELLIB)
#define VEL_API VEL_EXTERN_C __declspec(dllexport)
#elif defined(_WIN32)
#define VEL_API VEL_EXTERN_C __declspec(dllimport)
#else
#define VEL_API VEL_EXTERN_C __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define VEL_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
typedef char16_t VelChar;
#else
#include <uchar.h>
#define VEL_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
typedef char16_t VelChar;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Events and callbacks ------------------------------------------------ */

/* Event codes handed to an execute function. */
enum {
    VEL_EVENT_SELECTION_DONE = 0, /* a selection under mask 0x20 is finished */
    VEL_EVENT_POINTER = 1,        /* a pointer event with a point */
    VEL_EVENT_OTHER = 4,          /* any other input without a point */
    VEL_EVENT_CONFIRM = 7         /* the confirm input */
};

/* Event masks for VelEvtSetEventMask. */
enum {
    VEL_MASK_SELECTION = 0x20,
    VEL_MASK_FIGURE = 0x800,
    VEL_MASK_ELEMENT = 0x1000,
    VEL_MASK_POINT = 0x60000
};

/* Results of an execute function. */
enum {
    VEL_EXEC_END = 0,   /* the run ends; the host calls the terminate callback */
    VEL_EXEC_NEXT = 2,  /* the host calls the ready function set last */
    VEL_EXEC_UNUSED = 3 /* the event is not used; keep waiting */
};

/* The host's event data; opaque to the plug-in, handed back to VelEvtGet*. */
typedef struct VelEventData VelEventData;

typedef int (*VelReadyFunc)(void);
typedef int (*VelExecuteFunc)(int code, VelEventData* data);
typedef int (*VelPreStartFunc)(void);
typedef void (*VelTerminateFunc)(void);
typedef int (*VelCompareFunc)(int elementId);
typedef int (*VelSegmentFilterFunc)(int segmentId);

/* ---- Records ------------------------------------------------------------- */

typedef struct VelPoint {
    double x;
    double y;
} VelPoint;

/* Element type codes of FigureData. */
enum {
    VEL_FIG_LINE = 1,
    VEL_FIG_CIRCLE = 2,
    VEL_FIG_ARC = 3,
    VEL_FIG_CORNER_R = 7,
    VEL_FIG_CHAMFER = 8,
    VEL_FIG_POINT = 9
};

/* Segment kinds. */
enum { VEL_SEG_FIGURE = 0, VEL_SEG_DIMENSION = 1, VEL_SEG_COMMENT = 2 };

/* Corner kinds of VelFigAddCorner. */
enum { VEL_CORNER_ROUND = 0, VEL_CORNER_CHAMFER = 1 };

/* One element as the host describes it.
   line: 0-1 start, 2-3 end. circle: 0-1 centre, 2 radius.
   arc (counter-clockwise from start to end): 0-1 centre, 2-3 start, 4-5 end, 6 radius.
   corner R: 0-1 centre, 2-3 tangent point on the preceding element,
             4-5 tangent point on the following element, 6 radius.
   chamfer: 0-1 cut point on the preceding element, 2-3 on the following one.
   point: 0-1. */
typedef struct FigureData {
    int32_t type;
    int32_t reserved;
    double values[10];
} FigureData;

/* The buffer VelFigGetFigure fills: one FigureData and 8 bytes the host keeps. */
typedef struct FigureBuffer {
    FigureData figure;
    uint8_t hostData[8];
} FigureBuffer;

typedef struct LineAttributes {
    int32_t color;
    int32_t lineType;
    int32_t reserved;
} LineAttributes;

/* One figure or element: an instance id and a segment or element id. */
typedef struct FigureRef {
    int32_t instanceId;
    int32_t id;
} FigureRef;

/* One entry of the host's selection set. */
typedef struct SelIdRecord {
    int32_t segmentId;
    int32_t instanceId;
} SelIdRecord;

/* Echo record of VelEvtSetEcho: kind 2 echoes a rubber band from the point. */
typedef struct EchoData {
    int32_t kind;
    int32_t reserved;
    VelPoint point;
} EchoData;

/* A point slot of the leader and dimension records. */
typedef struct VelRecordPoint {
    double x;
    double y;
    int64_t tag;
    int32_t flag;
    int32_t reserved;
} VelRecordPoint;

typedef struct ArrowData {
    int32_t kind;
    int32_t reserved;
    double size1;
    double size2;
} ArrowData;

typedef struct LeaderData {
    int32_t kind;
    int32_t reserved0;
    VelRecordPoint points[3];
    const VelChar* text;
    int32_t textFlag;
    uint8_t reserved1[28];
    ArrowData arrow;
    double direction;
} LeaderData;

typedef struct LengthDimensionData {
    uint8_t reserved0[8];
    VelRecordPoint a;
    VelRecordPoint b;
    double value72;
    uint8_t flag80;
    uint8_t reserved81[7];
    double direction;
    uint8_t flag96;
    uint8_t reserved97[7];
    double value104;
} LengthDimensionData;

VEL_STATIC_ASSERT(sizeof(FigureData) == 88, "FigureData is 88 bytes");
VEL_STATIC_ASSERT(offsetof(FigureData, values) == 8, "values start at byte 8");
VEL_STATIC_ASSERT(sizeof(FigureBuffer) == 96, "a single figure read fills 96 bytes");
VEL_STATIC_ASSERT(sizeof(LineAttributes) == 12, "LineAttributes is three ints");
VEL_STATIC_ASSERT(sizeof(FigureRef) == 8, "FigureRef is two ints");
VEL_STATIC_ASSERT(sizeof(SelIdRecord) == 8, "SelIdRecord is two ints");
VEL_STATIC_ASSERT(sizeof(VelRecordPoint) == 32, "point slots are 32 bytes");
VEL_STATIC_ASSERT(sizeof(ArrowData) == 24, "ArrowData is 24 bytes");
VEL_STATIC_ASSERT(offsetof(ArrowData, size1) == 8, "arrow sizes start at byte 8");
VEL_STATIC_ASSERT(offsetof(LeaderData, points) == 8, "leader first point at 8");
VEL_STATIC_ASSERT(offsetof(LeaderData, points) + sizeof(VelRecordPoint) == 40,
                  "leader second point at 40");
VEL_STATIC_ASSERT(offsetof(LeaderData, points) + 2 * sizeof(VelRecordPoint) == 72,
                  "leader third point at 72");
VEL_STATIC_ASSERT(offsetof(LeaderData, text) == 104, "leader text at 104");
VEL_STATIC_ASSERT(offsetof(LeaderData, textFlag) == 112, "leader text flag at 112");
VEL_STATIC_ASSERT(offsetof(LeaderData, arrow) == 144, "leader arrow at 144");
VEL_STATIC_ASSERT(offsetof(LeaderData, arrow) + offsetof(ArrowData, size1) == 152,
                  "leader arrow sizes at 152");
VEL_STATIC_ASSERT(offsetof(LeaderData, direction) == 168, "leader direction at 168");
VEL_STATIC_ASSERT(sizeof(LeaderData) == 176, "LeaderData is 176 bytes");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, a) == 8, "dimension A at 8");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, b) == 40, "dimension B at 40");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, value72) == 72, "dimension value at 72");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, flag80) == 80, "dimension flag at 80");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, direction) == 88, "dimension direction at 88");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, flag96) == 96, "dimension flag at 96");
VEL_STATIC_ASSERT(offsetof(LengthDimensionData, value104) == 104, "dimension value at 104");
VEL_STATIC_ASSERT(sizeof(LengthDimensionData) == 112, "LengthDimensionData is 112 bytes");

/* ---- Control, events, messages ------------------------------------------- */

VEL_API int VelCtlRegisterVelLib2(VelReadyFunc firstReady, VelPreStartFunc preStart,
                                  VelTerminateFunc terminate);
VEL_API int VelCtlSetReadyFunc(VelReadyFunc ready);
VEL_API int VelCtlSetExecuteFunc(VelExecuteFunc execute, const VelChar* name);

VEL_API int VelEvtSetEventMask(int mask);
VEL_API int VelEvtGetPoint(int code, VelEventData* data, VelPoint* point);
VEL_API int VelEvtGetSegmentId(int code, VelEventData* data);
VEL_API int VelEvtGetInstanceId(int code, VelEventData* data);
VEL_API int VelEvtGetElementId(int code, VelEventData* data);
VEL_API int VelEvtSetEcho(const EchoData* echo);
VEL_API int VelEvtSetCompareFunction(VelCompareFunc compare);

VEL_API int VelMsgPutMessage(const VelChar* text);
VEL_API int VelDlgMessageBox(const VelChar* text);

/* ---- Id sets ------------------------------------------------------------- */

VEL_API int VelIddClearSysIdData(void);
VEL_API int VelIddOpenSelIdData(int mode);
VEL_API int VelIddGetHeadSelIdData(int handle, SelIdRecord* record);
VEL_API int VelIddGetNextSelIdData(int handle, SelIdRecord* record);
VEL_API int VelIddCloseSelIdData(int handle);
VEL_API int VelIddOpenApIdData(int set, int mode);
VEL_API int VelIddInitApIdData(int set);
VEL_API int VelIddCloseApIdData(int set);

/* ---- Segments and elements ----------------------------------------------- */

VEL_API int VelSgmCreateSegment(int kind, int reserved);
VEL_API int VelSgmDeleteSegment(int segmentId);
VEL_API int VelSgmChangeLayer(int segmentId, int layer);
VEL_API int VelSgmEditSegment(int segmentId, const VelPoint* base, const VelPoint* target,
                              double angleDegrees, double scale, int inPlace);
VEL_API int VelSgmGetElementCount(int segmentId);
VEL_API int VelSgmGetHeadElementId(int segmentId);
VEL_API int VelSgmGetTailElementId(int segmentId);
VEL_API int VelSgmGetType(int segmentId);
VEL_API int VelSgmHasAttribute(int segmentId, int attribute);
VEL_API int VelSgmSearchSegment2(int instanceId, VelSegmentFilterFunc filter, int set);

VEL_API int VelElmDeleteElement(int elementId);
VEL_API int VelElmGetNextElementId(int elementId);
VEL_API int VelElmGetPrevElementId(int elementId);
VEL_API int VelElmGetSegment(int elementId);

/* ---- Figures --------------------------------------------------------------- */

VEL_API int VelFigCreateFigure(int segmentId, const FigureData* figure);
VEL_API int VelFigInsertFigure(int elementId, const FigureData* figure);
VEL_API int VelFigSetClosed(int segmentId, int closed);
VEL_API int VelFigIsClosed(int segmentId);
VEL_API int VelFigSetLineType(int elementId, const LineAttributes* attributes);
VEL_API int VelFigAddCorner(int elementA, int elementB, int kind, double size);
VEL_API int VelFigAmendCorner(int cornerId, double size);
VEL_API int VelFigRemoveCorner(int cornerId);
VEL_API int VelFigGetFigure(const FigureRef* element, FigureBuffer* out);
VEL_API int VelFigGetFigure2(const FigureRef* segment, FigureData* list, int capacity);
VEL_API int VelFigGetDirection(int segmentId);
VEL_API int VelFigOffset(const FigureRef* segment, double distance);

/* ---- Layers, dimensions, leaders ------------------------------------------- */

VEL_API int VelLyrHasLayer(int layer);
VEL_API int VelLyrCreateLayer(int layer);

VEL_API int VelDimCreateLineLength(int segmentId, const LengthDimensionData* data);
VEL_API int VelDimSetDecimalPlace(int dimensionId, int places);
VEL_API int VelDimSetArrow(int dimensionId, int which, const ArrowData* arrow);

VEL_API int VelCmtCreateLeader(int segmentId, const LeaderData* data);

/* ---- Arithmetic helpers ---------------------------------------------------- */

VEL_API double VelAriLen2Pnts(const VelPoint* a, const VelPoint* b);
VEL_API int VelAriOnchkArc(const FigureData* arc, const VelPoint* point);

#ifdef __cplusplus
}
#endif

#endif /* VELLIB_H */
