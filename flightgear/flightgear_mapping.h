// What the panel and FlightGear say to each other over the generic
// protocol, as tables: the fields of FlightGear's output line (in the order
// of flightgear/protocol/morvane.xml), how each variable token the module
// reads is made from them (units and encodings as the module reads them),
// the fields of the input line the panel sends back, and the property
// writes each key event of the module makes. Variables with no FlightGear
// property are kept by the link itself, and events that act on the panel's
// own windows reach no property; both say why.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fg {

enum class FieldType { Float, Int, Bool };

// One field of the output line: a property, as FlightGear formats it, and
// the range of values that can be true of it (a value outside it is a
// corrupt or hostile line).
struct OutputField {
    const char* node;
    FieldType type;
    const char* format;
    double lowest, highest;
};

// How a token's value is made from one or more output fields.
enum class Make {
    Scaled,           // a × scale + offset
    BoolScaled,       // a ? scale : 0
    BoolInverted,     // a ? 0 : scale
    OpenUnlessSet,    // integer: 0 when a, else 1
    BelowFlag,        // a < scale ? 1 : 0
    Ratio,            // a ÷ b × scale (0 when b is 0)
    ToFrom,           // integer: 1 when a (to), 2 when b (from), else 0
    Marker,           // 3 inner (c), 2 middle (b), 1 outer (a), else 0
    AnyOf,            // a, b or c not 0 ? scale : 0
    WheelHeight,      // the wheels' height: a (the reference point's, ft) less its height
                      // when the weight was last on the wheels, never below 0, × scale
    AdfBcd,           // integer: hundreds, tens, units of the kHz in BCD
    AdfExtension,     // integer: 256 at 1000 kHz and above, plus the tenths
    ComBcd,           // integer: the MHz less 100 and the hundredths in BCD
    NavBcd,           // integer: as ComBcd
    CodeBcd,          // integer: the four octal digits of the code, a nibble each
    DecisionAlert,    // 1 while the radio height is below a decision height above 0
    Local,            // the link's own value (no FlightGear property)
};

struct TokenSource {
    uint32_t token;
    Make make;
    const char* a;  // output field nodes (null: none)
    const char* b;
    const char* c;
    double scale, offset;
    const char* note;  // what it is, and why when there is no property
};

// One field of the input line. Every input field is relative: FlightGear
// adds the number to the property (a bool field toggles it when not 0), so
// a field of 0 leaves the property as it is.
struct InputField {
    const char* node;
    FieldType type;
    double min, max;  // FlightGear clamps (or wraps) to these
    bool wrap;
};

// What a key event does.
enum class Act {
    Add,           // property += amount, kept within [min, max]
    AddWrapped,    // property += amount, wrapped into [min, max)
    WholeStep,     // the whole part += amount, wrapped into [min, max]; the fraction kept
    FractionStep,  // the fraction += amount, wrapped within the whole part
    SetScaled,     // property = event value × amount
    SetAdfBcd,     // property = the event value's BCD tenths of a kHz
    Set,           // property = amount
    Toggle,        // bool property flipped
    DigitStep,     // the code digit at place `amount` (1000, 100, 10, 1) steps by `min` (±1), 0..7 wrapped
    LocalAdd,      // the link's own token += amount within [min, max]
    LocalToggle,   // the link's own token between 0 and 1
    DecisionStep,  // the link's decision height: up (amount 1) or down (-1), by 10 ft (value 1) or 50 ft
    NotchStep,     // the lever to the next notch down (amount 1) or up (-1): notch / the aircraft's notches, 0..1
    None,          // no property: the note says why
};

struct EventAction {
    uint32_t event;
    Act act;
    const char* node;  // input field node, or null
    uint32_t token;    // for the link's own tokens
    double amount, min, max;
    const char* note;
};

struct Mapping {
    const OutputField* outputs;
    size_t output_count;
    const TokenSource* tokens;
    size_t token_count;
    const InputField* inputs;
    size_t input_count;
    const EventAction* events;
    size_t event_count;
    // The host expression the tail-wheel lever reads, answered from this
    // output field.
    const char* tailwheel_expression;
    const char* tailwheel_node;
};

const Mapping& mapping();

// An aircraft that keeps some controls under its own property names gets a
// protocol file of its own: the same fields in the same order (so the link
// reads and writes it unchanged), with these properties renamed.
struct NodeRename {
    const char* generic;
    const char* aircraft;
};
struct AircraftProtocol {
    const char* aircraft;  // FlightGear's --aircraft name
    const char* protocol;  // the file's name in flightgear/protocol/, without .xml
    const NodeRename* renames;
    size_t rename_count;
};
const AircraftProtocol* aircraft_protocols();
size_t aircraft_protocol_count();

// The protocol's separators, as FlightGear writes and reads them.
constexpr char kFieldSeparator = ',';
constexpr char kLineSeparator = '\n';

// The protocol file's name (in flightgear/protocol/ and in FlightGear's
// Protocol folder), as --generic names it.
constexpr const char* kProtocolName = "morvane";

}  // namespace fg
