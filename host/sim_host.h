// The test host: loads gauge modules the way the simulator does, gives each
// placement its own copy of a gauge's records, drives the life cycle, keeps
// simulator variables by token, logs key events, tracks panel windows and
// answers host expressions. Tests and the previewer drive gauges through it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/host_records.h"
#include "host/placement.h"
#include "host/recent_log.h"
#include "host/simulation.h"

namespace sim {

struct KeyEvent {
    uint32_t id;
    uint32_t value;
    bool operator==(const KeyEvent&) const = default;
};

// One call of a host service of the older interface, for the record.
struct ServiceCall {
    unsigned offset;  // byte offset in the 32-bit services table
    std::vector<uintptr_t> args;
};

struct ExpressionAnswer {
    double number = 0;
    int32_t integer = 0;
    std::optional<std::string> string;  // nullopt: a null string pointer
};

class LoadedModule {
public:
    ~LoadedModule();
    const std::string& path() const { return path_; }
    ModuleLinkage* linkage() const { return linkage_; }
    ModuleImportTable* import_table() const { return import_table_; }
    // The handle the host passes with the install notice, through which the
    // module finds its own resources.
    HostWord resource_handle() const { return reinterpret_cast<HostWord>(handle_); }
    void* dl_handle() const { return handle_; }
    // The gauge headers of the module's table, up to the first null.
    std::vector<GaugeHeader*> gauges() const;
    GaugeHeader* find_gauge(const std::string& name) const;

private:
    friend class SimHost;
    std::string path_;
    void* handle_ = nullptr;
    ModuleLinkage* linkage_ = nullptr;
    ModuleImportTable* import_table_ = nullptr;
};

class SimHost {
public:
    SimHost();
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // The host whose services the module is calling (one at a time).
    static SimHost* current();

    // Loading. On failure returns null and sets error to one line naming
    // the file and what is wrong.
    LoadedModule* load_module(const std::string& path, std::string* error);
    const std::vector<std::unique_ptr<LoadedModule>>& modules() const { return modules_; }

    // Placing: finds the gauge by name in the loaded modules ("Name" or
    // "Module!Name"), copies its records and sends the install notice.
    // Null (and error set) when there is no such gauge.
    Placement* place(const std::string& gauge_name, const char* parameters, std::string* error = nullptr);
    Placement* place_header(LoadedModule* module, GaugeHeader* header, const char* parameters, std::string* error);
    const std::vector<std::unique_ptr<Placement>>& placements() const { return placements_; }

    // Life cycle notices.
    void send(Placement& p, int32_t service, HostWord extra = 0);
    void setup(Placement& p) { send(p, SERVICE_SETUP); }
    void kill(Placement& p);
    void kill_all();
    // Kills the placement if it is live and forgets it (long fuzzing runs
    // place and remove one gauge per input).
    void remove(Placement& p);
    // One update cycle of every live placement, then the advance of the
    // host clock by seconds_per_cycle.
    void cycle();
    void cycles(int n) {
        for (int i = 0; i < n; ++i) cycle();
    }
    double seconds_per_cycle = 1.0 / 18.0;
    // A held mouse button on a click area that repeats: the first click at
    // the press, the first repeat after this delay, then one per interval
    // (a keyboard's held-key rhythm). A press shorter than the delay is
    // one click, however the cycles fall.
    double mouse_repeat_delay = 0.5;
    double mouse_repeat_interval = 0.1;
    double clock() const { return clock_; }

    // What answers the variables and key events (not owned; null: the
    // host's own table only). Attach before placing, detach before the
    // simulation goes.
    void attach(Simulation* simulation) { simulation_ = simulation; }
    Simulation* simulation() const { return simulation_; }

    // Simulator variables by token. A value set here goes to the attached
    // simulation when it takes it, else to the host's own table.
    void set_var(uint32_t token, double value);
    // For tokens the gauges read as an integer in the low 32 bits; high
    // carries whatever the simulator leaves in the upper half.
    void set_var_low_word(uint32_t token, uint32_t low, uint32_t high = 0);
    double var(uint32_t token) const;
    bool has_var(uint32_t token) const { return vars_.count(token) != 0; }
    const std::map<uint32_t, double>& vars() const { return vars_; }
    std::set<uint32_t> tokens_read;  // every token looked up or refreshed

    // Key events, in the order sent (the most recent ones: a panel sends
    // events every cycle for as long as it runs). Reactions let a test make
    // the simulator answer an event (e.g. toggle a valve variable).
    const std::vector<KeyEvent>& events() const { return events_.recent(); }
    const RecentLog<KeyEvent>& event_log() const { return events_; }
    void clear_events() { events_.clear(); }
    void on_event(uint32_t id, std::function<void(uint32_t value)> reaction) { reactions_[id] = std::move(reaction); }

    // Panel windows: the toggle service and the open/close/toggle key events.
    bool panel_visible(uint32_t panel_id) const;
    void set_panel_visible(uint32_t panel_id, bool visible) { panels_[panel_id] = visible; }
    const std::map<uint32_t, bool>& panels() const { return panels_; }
    RecentLog<uint32_t> panel_toggles;  // ids passed to panel_window_toggle

    // Host expressions.
    void set_expression(const std::string& expression, ExpressionAnswer answer) {
        expressions_[expression] = std::move(answer);
    }
    RecentLog<std::string> expressions_evaluated;

    // Simulated failures by key.
    std::set<uint32_t> active_failures;

    // Texts of host help strings, as the host would show them.
    static std::string help_text(uint32_t help_id);

    // Calls to services the host does not offer, and other contract breaks
    // seen by the host ("unexpected service slot 12").
    RecentLog<std::string> faults{256};
    // Calls of the older interface's element and mouse services (seven a
    // cycle for each gauge of that interface).
    RecentLog<ServiceCall> service_calls;

    HostServices& services() { return services_; }

    // Services, as the module calls them.
    void svc_lookup_var(VarRecord* var);
    void svc_trigger_key_event(uint32_t id, uint32_t value);
    void svc_panel_window_toggle(uint32_t id);
    void svc_execute_calculator_code(const char* expression, double* number, int32_t* integer, const char** string);

private:
    friend struct LegacyServices;
    // The older interface (header version 610): the routines of the header,
    // each of which calls the host's element and mouse services.
    void legacy_start(Placement& p, HostWord resource_handle);
    void legacy_cycle(Placement& p);
    void legacy_kill(Placement& p);
    template <typename Routine>
    void legacy_run(Placement& p, Routine routine);
    Placement* legacy_serving_ = nullptr;  // whose routine is running

    void refresh(VarRecord& var);
    void apply_panel_event(uint32_t id, uint32_t value);

    HostServices services_{};
    std::vector<std::unique_ptr<LoadedModule>> modules_;
    std::vector<std::unique_ptr<Placement>> placements_;
    std::map<uint32_t, double> vars_;
    RecentLog<KeyEvent> events_;
    std::map<uint32_t, std::function<void(uint32_t)>> reactions_;
    std::map<uint32_t, bool> panels_;
    std::map<std::string, ExpressionAnswer> expressions_;
    std::vector<std::unique_ptr<char[]>> expression_strings_;  // returned this cycle
    double clock_ = 0;
    Simulation* simulation_ = nullptr;
    SimHost* previous_current_ = nullptr;

    friend class Placement;
};

}  // namespace sim
