// One placement of a gauge on a panel: the host's own copy of the gauge
// header, its element records and mouse rectangles, with the placement's
// parameter string, and what the host draws from them after each cycle.
// Nothing else is copied: the needles' tables, failure lists, tooltip
// records' texts and arguments stay the module's, shared by all placements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/host_records.h"
#include "host/module_entry.h"

namespace sim {

class SimHost;
class LoadedModule;

// What the host draws for one element after an update cycle.
struct DrawnElement {
    ElementHeader* record = nullptr;  // the placement's copy
    uint32_t kind = 0;
    int32_t bitmap = 0;
    int32_t x = 0, y = 0;  // position on the background
    uint32_t image_flags = 0;
    bool lit = false;
    bool hidden = false;
    // The values the host fed into the element (callback results, or the
    // source variables).
    double value = 0, value_y = 0, value_rotation = 0;
    double angle = 0;  // needle: degrees clockwise from up, not wrapped
    int image = 0;     // icon: image index, -1 = not drawn
    double dx = 0, dy = 0;  // slider and sprite displacement in pixels
    double rotation = 0;    // sprite rotation in degrees
    std::string text;       // string element
    std::vector<uint32_t> failure_actions;  // actions of the active failures
};

// The host's record of a loaded element image under the older interface.
// The install service leaves a pointer to the background's record in the
// root element's first field after the header; the gauge hands the address
// of the size (four bytes in) to the mouse set-up service.
struct LegacyImage {
    int32_t bitmap = 0;
    int32_t width = 0, height = 0;
    int32_t bits = 0;
};

// The result of a hit test at a point of the gauge.
struct HitResult {
    const MouseRect* child = nullptr;  // the click area, or null
    int32_t cursor = CURSOR_NONE;
    std::string tooltip;  // empty: none
    uint32_t help_id = 0;  // the host help text the tooltip is, or 0
};

class Placement {
public:
    Placement(SimHost& host, LoadedModule* module, const GaugeHeader& original, const char* parameters);
    ~Placement();
    Placement(const Placement&) = delete;
    Placement& operator=(const Placement&) = delete;

    const std::string& name() const { return name_; }
    GaugeHeader* header() { return header_.get(); }
    const GaugeHeader* original() const { return original_; }
    LoadedModule* module() const { return module_; }
    bool killed() const { return killed_; }
    bool legacy() const { return legacy_; }

    // Elements in drawing order (the chain from the background up), with
    // what was drawn in the last cycle.
    const std::vector<DrawnElement>& drawn() const { return drawn_; }
    const DrawnElement& element(size_t index) const { return drawn_.at(index); }
    size_t element_count() const { return drawn_.size(); }
    template <typename T>
    T* record(size_t index) const {
        return reinterpret_cast<T*>(drawn_.at(index).record);
    }
    // The copied mouse rectangle list, ended by its type-0 record.
    MouseRect* mouse_rects() const { return mouse_rects_.empty() ? nullptr : const_cast<MouseRect*>(mouse_rects_.data()); }
    std::vector<const MouseRect*> children() const;

    // One update cycle: update notice, refresh of the source variables,
    // update callbacks, and the drawn state.
    void update_cycle();
    // The drawn state again, without a new cycle (after a click, say).
    void compute_drawn();
    // The host's own share of a cycle: the same refresh and drawing walk of
    // the records with no module callback called (for measurements).
    void bare_cycle();

    // The mouse, in background-bitmap pixels of this gauge.
    // With call_arguments false the tooltip's placeholders are left as
    // written and no tooltip argument callback is called.
    HitResult hit(int32_t x, int32_t y, bool call_arguments = true) const;
    std::string tooltip(int32_t x, int32_t y) const { return hit(x, y).tooltip; }
    int32_t cursor(int32_t x, int32_t y) const { return hit(x, y).cursor; }
    // A click with the given button flag; true when a click area took it.
    bool click(int32_t x, int32_t y, uint32_t button = MOUSE_LEFTSINGLE);
    // A held button: the first click, then `repeats` more while held, for
    // click areas that repeat.
    bool hold(int32_t x, int32_t y, uint32_t button, int repeats);
    // A left-button drag that starts on a click area and is followed while
    // the button is held (for areas that take movement); points may leave
    // the area.
    bool drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int steps);
    // A press that lasts over several cycles, as a pilot's button does:
    // one click at once (even when the button is up again before the next
    // cycle), then moves while held (areas that take movement). On a click
    // area that repeats, the host's own clock repeats the click from
    // SimHost::cycle(), like a keyboard's held key: after
    // SimHost::mouse_repeat_delay, then every mouse_repeat_interval, for
    // as long as the button is held. Drivers never repeat it themselves.
    bool press(int32_t x, int32_t y, uint32_t button);
    // One repeat of the held click now, off the host's clock (for tests of
    // what a gauge does on each repeat).
    void press_repeat();
    void press_move(int32_t x, int32_t y);
    void release() { pressed_ = nullptr; }
    bool pressed() const { return pressed_ != nullptr; }
    // Background size in pixels (from the module's resources once known).
    int32_t width = 0, height = 0;
    // Why the size is not known, naming the gauge and the bitmap; empty
    // when it is.
    std::string background_problem;

    // The older interface: registered mouse rectangles (install routine).
    MouseRect* legacy_registered_rects = nullptr;
    // The older interface: the element tree has been destroyed (kill).
    bool legacy_destroyed() const { return legacy_destroyed_; }

private:
    friend class SimHost;
    friend struct LegacyServices;
    ElementHeader* copy_element(const ElementHeader* source);
    ElementHeader* const* copy_list(ElementHeader* const* list);
    void collect_order(ElementHeader* const* list);
    void refresh_sources(ElementHeader* e);
    void compute_element(DrawnElement& d, DrawnElement* previous);
    int icon_image(const IconElement& icon, double value);
    // The value the host feeds an element: the callback's result, or the
    // source variable when there is no callback (or in a bare walk, or when
    // the callback was abandoned at a trapped service slot).
    template <typename Fn, typename Arg>
    double fed(Fn callback, Arg* arg, double source) const {
        double value = source;
        if (callback && !bare_) enter_module_into(&value, callback, arg);
        return value;
    }
    bool bare_ = false;
    bool send_click(const MouseRect* child, int32_t x, int32_t y, uint32_t flags);
    const MouseRect* rect_list() const;

    SimHost& host_;
    LoadedModule* module_;
    const GaugeHeader* original_;
    std::string name_;
    std::unique_ptr<char[]> parameters_;  // writable, exactly the string's size
    bool killed_ = false;
    bool legacy_ = false;
    bool drawn_once_ = false;
    std::unique_ptr<GaugeHeader> header_;
    std::vector<std::unique_ptr<uint8_t[]>> element_storage_;
    std::vector<std::unique_ptr<ElementHeader*[]>> list_storage_;
    std::vector<std::unique_ptr<char[]>> text_buffers_;
    std::vector<MouseRect> mouse_rects_;
    std::vector<ElementHeader*> order_;
    std::vector<DrawnElement> drawn_;
    const MouseRect* pressed_ = nullptr;
    uint32_t pressed_button_ = 0;
    int32_t pressed_x_ = 0, pressed_y_ = 0;
    double next_repeat_ = 0;  // host clock of the held click's next repeat
    void repeat_held(double clock, double interval);
    // The older interface works on the module's own records: the tree the
    // install service was given, and the images loaded for it.
    std::vector<std::unique_ptr<LegacyImage>> legacy_images_;
    bool legacy_destroyed_ = false;
};

// Size of an element record of a kind; 0 for an unknown kind.
size_t element_record_size(uint32_t kind, bool legacy);

}  // namespace sim
