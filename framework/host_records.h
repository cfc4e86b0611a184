// The host's binary records: everything the host reads from or writes into a
// gauge module. On the 32-bit target each record is laid out byte for byte as
// the host expects (4-byte packing, 32-bit pointers) and every offset is
// checked at compile time. The 64-bit native build keeps the same fields in
// natural layout, so the code reads the same on both.
#pragma once

#include <cstddef>
#include <cstdint>

// The host calls every callback and service with its own calling sequence,
// which on the 32-bit x86 target is stdcall.
#if defined(__i386__) || defined(_M_IX86)
#define GAUGE_CALL __attribute__((stdcall))
#else
#define GAUGE_CALL
#endif

#if defined(_WIN32)
#define MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#define HOST_LAYOUT_32 (UINTPTR_MAX == 0xFFFFFFFFu)

#if HOST_LAYOUT_32
#pragma pack(push, 4)
#endif

struct GaugeHeader;
struct ElementHeader;
struct ClickRecord;
struct MouseRect;

// ---------------------------------------------------------------- services

// Service codes sent to a gauge callback.
enum ServiceCode : int32_t {
    SERVICE_INSTALL = 2,
    SERVICE_UPDATE = 6,
    SERVICE_KILL = 12,
    SERVICE_SETUP = 14,
};

// The extra word of a gauge callback: with the install notice, the module
// resource handle. A 32-bit word on the target; pointer-wide natively so a
// host handle fits.
using HostWord = uintptr_t;

using GaugeCallback = void(GAUGE_CALL*)(GaugeHeader* gauge, int32_t service, HostWord extra);
using MouseCallback = int32_t(GAUGE_CALL*)(ClickRecord* click, uint32_t mouse_flags);

// Routines of the older gauge interface (header version 610).
using LegacyRoutine = void(GAUGE_CALL*)();
using LegacyInstall = void(GAUGE_CALL*)(HostWord resource_handle);
using LegacyGenerate = void(GAUGE_CALL*)(uint32_t phase);

// ------------------------------------------------------- variable record

// 28 bytes: the token, two host words, the value and the previous value.
struct VarRecord {
    uint32_t token;
    uint32_t host_word[2];
    double value;
    double previous;
};

// ---------------------------------------------------------------- elements

enum ElementKind : uint32_t {
    ELEMENT_STATIC_IMAGE = 0,
    ELEMENT_NEEDLE = 1,
    ELEMENT_STRING = 2,
    ELEMENT_SLIDER = 3,
    ELEMENT_ICON = 4,
    ELEMENT_MOVING_IMAGE = 5,
    ELEMENT_SPRITE = 6,
};

// Image flag bits that callbacks change at run time.
constexpr uint32_t IMAGE_LIT = 0x4000;
constexpr uint32_t IMAGE_HIDDEN = 0x40000000;
constexpr uint32_t IMAGE_BIT31 = 0x80000000;

struct FailureRecord {
    uint32_t key;  // 0 ends the list
    uint32_t action;
    uint32_t reserved;
};

// One calibration point of a needle. The host writes the angle it derives
// for the point into the last field of the module's own entry, so every
// table is writable static data of its gauge, shared by all placements; a
// table in read-only memory faults at the host's first write.
struct NonlinearityEntry {
    int32_t x, y;  // the point on the background the needle points to
    double value;
    double host_angle;  // the host's; the module only reads it back
};

// The 60-byte common header of every element.
struct ElementHeader {
    uint32_t kind;
    int32_t bitmap;
    int32_t x, y;
    int32_t host_previous_x, host_previous_y;
    int32_t offset_x, offset_y;
    GaugeHeader* gauge;
    ElementHeader* host_previous;
    ElementHeader* const* next;
    const FailureRecord* failures;
    uint32_t image_flags;
    uint32_t special_instrumentation;
    uint32_t reserved;
};

struct StaticImageElement {
    ElementHeader header;
    uint8_t host[36];
};

struct NeedleElement;
using NeedleCallback = double(GAUGE_CALL*)(NeedleElement*);
struct NeedleElement {
    ElementHeader header;
    VarRecord source;
    uint8_t host_a[24];
    NonlinearityEntry* table;  // the gauge's own writable table
    uint32_t table_entries;
    int32_t max_travel;  // degrees per host cycle, 0 = unlimited
    uint8_t host_b[100];
    NeedleCallback callback;
    uint8_t host_c[8];
};

struct StringElement;
using StringCallback = double(GAUGE_CALL*)(StringElement*);
struct StringElement {
    ElementHeader header;
    VarRecord source[3];
    uint8_t host_a[40];
    char* text;  // the host's buffer of max_chars + 1 bytes
    uint32_t host_b;
    int32_t box_width, box_height;
    uint8_t host_c[8];
    uint32_t text_colour, background_colour, highlight_colour;  // 0x00BBGGRR
    uint8_t host_d[28];
    char font_name[32];
    uint32_t font_weight;
    uint32_t charset;
    uint32_t layout_flags;
    uint32_t max_chars;
    uint8_t host_e[16];
    StringCallback callback;
    uint8_t host_f[8];
};

struct SliderElement;
using SliderCallback = double(GAUGE_CALL*)(SliderElement*);
struct SliderElement {
    ElementHeader header;
    VarRecord source_x;
    uint32_t zero_x;
    double scale_x;
    uint32_t zero_x2;
    VarRecord source_y;
    uint32_t zero_y;
    double scale_y;
    uint8_t host_a[24];
    SliderCallback callback_x;
    SliderCallback callback_y;
    uint8_t host_b[16];
};

struct IconElement;
using IconCallback = double(GAUGE_CALL*)(IconElement*);
struct IconElement {
    ElementHeader header;
    VarRecord source;
    uint8_t zero_a[8];
    uint32_t switch_type;
    double scale;
    uint32_t zero_b;
    uint32_t image_count;
    int32_t offset;
    uint8_t host_a[12];
    IconCallback callback;
    uint32_t host_b;
};

struct MovingImageElement;
using MovingImageCallback = double(GAUGE_CALL*)(MovingImageElement*);
struct MovingImageElement {
    ElementHeader header;
    VarRecord source_x;
    uint32_t zero_x;
    double min_x, max_x;
    uint32_t zero_x2;
    VarRecord source_y;
    uint32_t zero_y;
    double min_y, max_y;
    uint8_t host_a[84];
    MovingImageCallback callback_x;
    MovingImageCallback callback_y;
    uint8_t host_b[16];
};

struct SpriteElement;
using SpriteCallback = double(GAUGE_CALL*)(SpriteElement*);
struct SpriteElement {
    ElementHeader header;
    VarRecord source_x;
    uint32_t zero_x;
    double scale_x;
    VarRecord source_y;
    uint32_t zero_y;
    double scale_y;
    VarRecord source_rotation;
    uint32_t zero_rotation;
    double scale_rotation;
    float texture_scale_x, texture_scale_y;
    uint8_t host_a[128];
    SpriteCallback callback_x;
    SpriteCallback callback_y;
    SpriteCallback callback_rotation;
    uint8_t host_b[24];
};

// Slider of the older interface (header version 610): each axis is the
// variable record, that axis's callback (taking the variable record) and
// its scale.
using LegacyVarCallback = double(GAUGE_CALL*)(VarRecord*);
struct LegacySliderAxis {
    VarRecord source;
    LegacyVarCallback callback;
    double scale;
};
struct LegacySliderElement {
    ElementHeader header;
    LegacySliderAxis x;
    LegacySliderAxis y;
};

// ---------------------------------------------------------------- mouse

enum MouseRectType : uint32_t {
    MOUSE_END = 0,
    MOUSE_PARENT = 1,
    MOUSE_CHILD = 2,
    MOUSE_PARENT_END = 3,
    MOUSE_TOOLTIP = 4,
};

enum MouseCursor : int32_t {
    CURSOR_NONE = -1,
    CURSOR_UPARROW = 1,
    CURSOR_DOWNARROW = 2,
    CURSOR_HAND = 5,
};

constexpr uint32_t MOUSE_LEFTSINGLE = 0x20000000;
constexpr uint32_t MOUSE_RIGHTSINGLE = 0x80000000;
constexpr uint32_t MOUSE_REPEAT = 0x00200000;
constexpr uint32_t MOUSE_MOVE_HELD = 0x00800000;

// One tooltip placeholder's argument. The callbacks take a double and four
// words that this module never reads.
using TooltipNumberCallback = double(GAUGE_CALL*)(double, uint32_t, uint32_t, uint32_t, uint32_t);
using TooltipStringCallback = const char*(GAUGE_CALL*)(double, uint32_t, uint32_t, uint32_t, uint32_t);
struct TooltipArg {
    uint8_t zero_a[60];
    TooltipNumberCallback number;
    uint32_t zero_b;
    TooltipStringCallback string;
};

// 44 bytes. A child carries a key event and/or a mouse callback; a tooltip
// record carries an argument count, a text and an argument array.
struct MouseRect {
    uint32_t type;
    int32_t x, y, width, height;
    int32_t cursor;
    uint32_t help_id;
    uint32_t mouse_flags;
    union {
        uint32_t event_id;   // child
        uint32_t arg_count;  // tooltip record
    };
    union {
        MouseCallback callback;  // child
        const char* text;        // tooltip record
    };
    const TooltipArg* args;
};

struct ClickRecord {
    int32_t x, y;  // relative to the child's top-left corner
    GaugeHeader* gauge;
    MouseRect* rect;
};

// ---------------------------------------------------------------- gauges

struct GaugeHeader {
    uint32_t version;
    const char* name;
    ElementHeader* const* elements;
    LegacyRoutine query;
    LegacyInstall install;
    LegacyRoutine initialize;
    LegacyRoutine update;
    LegacyGenerate generate;
    LegacyRoutine draw;
    LegacyRoutine kill;
    uint32_t host_a;
    uint32_t width_mm;
    uint32_t host_b[8];
    MouseRect* mouse_rects;
    GaugeCallback callback;
    uint32_t user_data;
    const char* parameters;
};

// The module tables. The gauge list ends at the first null pointer; a
// module sizes its own list, the host reads it through ModuleLinkage.
template <unsigned GaugeSlots>
struct ModuleLinkageOf {
    uint32_t module_id;
    void(GAUGE_CALL* init)();
    void(GAUGE_CALL* deinit)();
    uint32_t flags;
    uint32_t priority;
    uint32_t version;
    GaugeHeader* gauges[GaugeSlots];
};
using ModuleLinkage = ModuleLinkageOf<1>;

// The host services table is indexed by slot = 32-bit byte offset / 4, so
// the native build keeps the host's slot numbers with wider pointers.
constexpr unsigned host_slot(unsigned byte_offset_32) { return byte_offset_32 / 4; }
constexpr unsigned HOST_SERVICE_SLOTS = 96;
struct HostServices {
    void* slot[HOST_SERVICE_SLOTS];
};

struct ModuleImport {
    uint32_t id;  // 0x0F: the host services table
    HostServices* services;
};
struct ModuleImportTable {
    ModuleImport entry;
    ModuleImport terminator;
};

#if HOST_LAYOUT_32
#pragma pack(pop)
#endif

constexpr uint32_t GAUGE_HEADER_VERSION = 800;
constexpr uint32_t LEGACY_GAUGE_HEADER_VERSION = 610;
constexpr uint32_t LINKAGE_MODULE_ID = 0x13;
constexpr uint32_t IMPORT_HOST_SERVICES = 0x0F;

// ------------------------------------------------ 32-bit layout checks

#if HOST_LAYOUT_32
#define HOST_OFFSET(T, f, off) static_assert(offsetof(T, f) == (off), #T "." #f)
#define HOST_SIZE(T, n) static_assert(sizeof(T) == (n), "sizeof " #T)

HOST_SIZE(VarRecord, 28);
HOST_OFFSET(VarRecord, value, 12);
HOST_OFFSET(VarRecord, previous, 20);

HOST_SIZE(ElementHeader, 60);
HOST_OFFSET(ElementHeader, bitmap, 0x04);
HOST_OFFSET(ElementHeader, x, 0x08);
HOST_OFFSET(ElementHeader, host_previous_x, 0x10);
HOST_OFFSET(ElementHeader, offset_x, 0x18);
HOST_OFFSET(ElementHeader, gauge, 0x20);
HOST_OFFSET(ElementHeader, host_previous, 0x24);
HOST_OFFSET(ElementHeader, next, 0x28);
HOST_OFFSET(ElementHeader, failures, 0x2C);
HOST_OFFSET(ElementHeader, image_flags, 0x30);
HOST_OFFSET(ElementHeader, special_instrumentation, 0x34);
HOST_OFFSET(ElementHeader, reserved, 0x38);

HOST_SIZE(FailureRecord, 12);
HOST_SIZE(NonlinearityEntry, 24);
HOST_OFFSET(NonlinearityEntry, value, 8);
HOST_OFFSET(NonlinearityEntry, host_angle, 16);

HOST_SIZE(StaticImageElement, 96);

HOST_SIZE(NeedleElement, 236);
HOST_OFFSET(NeedleElement, source, 0x3C);
HOST_OFFSET(NeedleElement, source.value, 0x48);
HOST_OFFSET(NeedleElement, host_a, 0x58);
HOST_OFFSET(NeedleElement, table, 0x70);
HOST_OFFSET(NeedleElement, table_entries, 0x74);
HOST_OFFSET(NeedleElement, max_travel, 0x78);
HOST_OFFSET(NeedleElement, host_b, 0x7C);
HOST_OFFSET(NeedleElement, callback, 0xE0);
HOST_OFFSET(NeedleElement, host_c, 0xE4);

HOST_SIZE(StringElement, 324);
HOST_OFFSET(StringElement, source, 0x3C);
HOST_OFFSET(StringElement, source[1], 0x58);
HOST_OFFSET(StringElement, source[2], 0x74);
HOST_OFFSET(StringElement, host_a, 0x90);
HOST_OFFSET(StringElement, text, 0xB8);
HOST_OFFSET(StringElement, host_b, 0xBC);
HOST_OFFSET(StringElement, box_width, 0xC0);
HOST_OFFSET(StringElement, box_height, 0xC4);
HOST_OFFSET(StringElement, host_c, 0xC8);
HOST_OFFSET(StringElement, text_colour, 0xD0);
HOST_OFFSET(StringElement, background_colour, 0xD4);
HOST_OFFSET(StringElement, highlight_colour, 0xD8);
HOST_OFFSET(StringElement, host_d, 0xDC);
HOST_OFFSET(StringElement, font_name, 0xF8);
HOST_OFFSET(StringElement, font_weight, 0x118);
HOST_OFFSET(StringElement, charset, 0x11C);
HOST_OFFSET(StringElement, layout_flags, 0x120);
HOST_OFFSET(StringElement, max_chars, 0x124);
HOST_OFFSET(StringElement, host_e, 0x128);
HOST_OFFSET(StringElement, callback, 0x138);
HOST_OFFSET(StringElement, host_f, 0x13C);

HOST_SIZE(SliderElement, 192);
HOST_OFFSET(SliderElement, source_x, 0x3C);
HOST_OFFSET(SliderElement, zero_x, 0x58);
HOST_OFFSET(SliderElement, scale_x, 0x5C);
HOST_OFFSET(SliderElement, zero_x2, 0x64);
HOST_OFFSET(SliderElement, source_y, 0x68);
HOST_OFFSET(SliderElement, source_y.value, 0x74);
HOST_OFFSET(SliderElement, zero_y, 0x84);
HOST_OFFSET(SliderElement, scale_y, 0x88);
HOST_OFFSET(SliderElement, host_a, 0x90);
HOST_OFFSET(SliderElement, callback_x, 0xA8);
HOST_OFFSET(SliderElement, callback_y, 0xAC);
HOST_OFFSET(SliderElement, host_b, 0xB0);

HOST_SIZE(IconElement, 140);
HOST_OFFSET(IconElement, source, 0x3C);
HOST_OFFSET(IconElement, zero_a, 0x58);
HOST_OFFSET(IconElement, switch_type, 0x60);
HOST_OFFSET(IconElement, scale, 0x64);
HOST_OFFSET(IconElement, zero_b, 0x6C);
HOST_OFFSET(IconElement, image_count, 0x70);
HOST_OFFSET(IconElement, offset, 0x74);
HOST_OFFSET(IconElement, host_a, 0x78);
HOST_OFFSET(IconElement, callback, 0x84);
HOST_OFFSET(IconElement, host_b, 0x88);

HOST_SIZE(MovingImageElement, 268);
HOST_OFFSET(MovingImageElement, source_x, 0x3C);
HOST_OFFSET(MovingImageElement, zero_x, 0x58);
HOST_OFFSET(MovingImageElement, min_x, 0x5C);
HOST_OFFSET(MovingImageElement, max_x, 0x64);
HOST_OFFSET(MovingImageElement, zero_x2, 0x6C);
HOST_OFFSET(MovingImageElement, source_y, 0x70);
HOST_OFFSET(MovingImageElement, source_y.value, 0x7C);
HOST_OFFSET(MovingImageElement, zero_y, 0x8C);
HOST_OFFSET(MovingImageElement, min_y, 0x90);
HOST_OFFSET(MovingImageElement, max_y, 0x98);
HOST_OFFSET(MovingImageElement, host_a, 0xA0);
HOST_OFFSET(MovingImageElement, callback_x, 0xF4);
HOST_OFFSET(MovingImageElement, callback_y, 0xF8);
HOST_OFFSET(MovingImageElement, host_b, 0xFC);

HOST_SIZE(SpriteElement, 352);
HOST_OFFSET(SpriteElement, source_x, 0x3C);
HOST_OFFSET(SpriteElement, zero_x, 0x58);
HOST_OFFSET(SpriteElement, scale_x, 0x5C);
HOST_OFFSET(SpriteElement, source_y, 0x64);
HOST_OFFSET(SpriteElement, source_y.value, 0x70);
HOST_OFFSET(SpriteElement, zero_y, 0x80);
HOST_OFFSET(SpriteElement, scale_y, 0x84);
HOST_OFFSET(SpriteElement, source_rotation, 0x8C);
HOST_OFFSET(SpriteElement, zero_rotation, 0xA8);
HOST_OFFSET(SpriteElement, scale_rotation, 0xAC);
HOST_OFFSET(SpriteElement, texture_scale_x, 0xB4);
HOST_OFFSET(SpriteElement, texture_scale_y, 0xB8);
HOST_OFFSET(SpriteElement, host_a, 0xBC);
HOST_OFFSET(SpriteElement, callback_x, 0x13C);
HOST_OFFSET(SpriteElement, callback_y, 0x140);
HOST_OFFSET(SpriteElement, callback_rotation, 0x144);
HOST_OFFSET(SpriteElement, host_b, 0x148);

HOST_OFFSET(LegacySliderElement, x, 60);
HOST_OFFSET(LegacySliderElement, x.callback, 88);
HOST_OFFSET(LegacySliderElement, x.scale, 92);
HOST_OFFSET(LegacySliderElement, y, 100);
HOST_SIZE(LegacySliderElement, 140);

HOST_SIZE(MouseRect, 44);
HOST_OFFSET(MouseRect, x, 4);
HOST_OFFSET(MouseRect, cursor, 20);
HOST_OFFSET(MouseRect, help_id, 24);
HOST_OFFSET(MouseRect, mouse_flags, 28);
HOST_OFFSET(MouseRect, event_id, 32);
HOST_OFFSET(MouseRect, callback, 36);
HOST_OFFSET(MouseRect, args, 40);

HOST_SIZE(ClickRecord, 16);
HOST_OFFSET(ClickRecord, gauge, 8);
HOST_OFFSET(ClickRecord, rect, 12);

HOST_SIZE(TooltipArg, 72);
HOST_OFFSET(TooltipArg, number, 60);
HOST_OFFSET(TooltipArg, string, 68);

HOST_OFFSET(GaugeHeader, name, 0x04);
HOST_OFFSET(GaugeHeader, elements, 0x08);
HOST_OFFSET(GaugeHeader, query, 0x0C);
HOST_OFFSET(GaugeHeader, kill, 0x24);
HOST_OFFSET(GaugeHeader, width_mm, 0x2C);
HOST_OFFSET(GaugeHeader, mouse_rects, 0x50);
HOST_OFFSET(GaugeHeader, callback, 0x54);
HOST_OFFSET(GaugeHeader, user_data, 0x58);
HOST_OFFSET(GaugeHeader, parameters, 0x5C);
HOST_SIZE(GaugeHeader, 0x60);

HOST_OFFSET(ModuleLinkage, init, 4);
HOST_OFFSET(ModuleLinkage, deinit, 8);
HOST_OFFSET(ModuleLinkage, flags, 12);
HOST_OFFSET(ModuleLinkage, priority, 16);
HOST_OFFSET(ModuleLinkage, version, 20);
HOST_OFFSET(ModuleLinkage, gauges, 24);

HOST_SIZE(ModuleImportTable, 16);
HOST_OFFSET(ModuleImportTable, entry.services, 4);
HOST_OFFSET(ModuleImportTable, terminator, 8);

static_assert(sizeof(void*) * host_slot(0x114) == 0x114, "service slots");
#undef HOST_OFFSET
#undef HOST_SIZE
#endif
