#include "host/sim_host.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "framework/host_services.h"
#include "host/bitmaps.h"
#include "host/module_entry.h"
#include "host/module_loader.h"
#include "host/sound_clock.h"

namespace sim {

// The element-tree and mouse-list services of the older interface
// (legacy_interface.cpp).
void install_legacy_services(HostServices& table);

namespace {

SimHost* g_current = nullptr;

SimHost& current_host() { return *g_current; }

void GAUGE_CALL service_lookup_var(VarRecord* var) { current_host().svc_lookup_var(var); }
void GAUGE_CALL service_trigger_key_event(uint32_t id, uint32_t value) { current_host().svc_trigger_key_event(id, value); }
void GAUGE_CALL service_panel_window_toggle(uint32_t id) { current_host().svc_panel_window_toggle(id); }
void GAUGE_CALL service_execute_calculator_code(const char* e, double* n, int32_t* i, const char** s) {
    current_host().svc_execute_calculator_code(e, n, i, s);
}

void record_unexpected_service(unsigned slot) {
    if (g_current) g_current->faults.push_back("unexpected service slot " + std::to_string(slot));
}

// Every slot the host does not offer records the call as a fault and hands
// control back to the host's call into the module (module_entry.h): what
// the caller pushed is unknown here, so returning could not balance its
// stack.
template <unsigned Slot>
void GAUGE_CALL unexpected_service() {
    record_unexpected_service(Slot);
    leave_module();
}

template <unsigned... Slots>
void fill_traps(HostServices& table, std::integer_sequence<unsigned, Slots...>) {
    ((table.slot[Slots] = reinterpret_cast<void*>(&unexpected_service<Slots>)), ...);
}

// The host's key events for panel windows (value: panel identifier).
constexpr uint32_t EVENT_PANEL_TOGGLE = 66506;
constexpr uint32_t EVENT_PANEL_OPEN = 66507;
constexpr uint32_t EVENT_PANEL_CLOSE = 66508;

std::string file_stem(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

// ------------------------------------------------------------ modules

LoadedModule::~LoadedModule() {
    if (handle_) module_loader::close(handle_);
}

std::vector<GaugeHeader*> LoadedModule::gauges() const {
    std::vector<GaugeHeader*> list;
    if (!linkage_) return list;
    GaugeHeader* const* entry = linkage_->gauges;
    for (size_t i = 0; entry[i]; ++i) list.push_back(entry[i]);
    return list;
}

GaugeHeader* LoadedModule::find_gauge(const std::string& name) const {
    for (GaugeHeader* g : gauges())
        if (g->name && name == g->name) return g;
    return nullptr;
}

// ------------------------------------------------------------ host

SimHost::SimHost() {
    fill_traps(services_, std::make_integer_sequence<unsigned, HOST_SERVICE_SLOTS>{});
    services_.slot[host_slot(SERVICE_LOOKUP_VAR)] = reinterpret_cast<void*>(&service_lookup_var);
    services_.slot[host_slot(SERVICE_TRIGGER_KEY_EVENT)] = reinterpret_cast<void*>(&service_trigger_key_event);
    services_.slot[host_slot(SERVICE_PANEL_WINDOW_TOGGLE)] = reinterpret_cast<void*>(&service_panel_window_toggle);
    services_.slot[host_slot(SERVICE_EXECUTE_CALCULATOR_CODE)] =
        reinterpret_cast<void*>(&service_execute_calculator_code);
    install_legacy_services(services_);
    previous_current_ = g_current;
    g_current = this;
    // A fresh sound layer for every simulator run.
    sound_clock::reset();
}

SimHost::~SimHost() {
    kill_all();
    placements_.clear();
    for (auto& m : modules_) {
        if (m->linkage_ && m->linkage_->deinit) enter_module(m->linkage_->deinit);
        // A module another host still has loaded stays mapped: hand its
        // imports back to that host rather than leave them on this one's
        // table, which is about to go.
        if (m->import_table_ && m->import_table_->entry.services == &services_) {
            HostServices* back = nullptr;
            if (previous_current_)
                for (auto& other : previous_current_->modules_)
                    if (other->handle_ == m->handle_) back = &previous_current_->services_;
            m->import_table_->entry.services = back;
        }
    }
    modules_.clear();
    g_current = previous_current_;
}

SimHost* SimHost::current() { return g_current; }

LoadedModule* SimHost::load_module(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& message) -> LoadedModule* {
        if (error) *error = message;
        return nullptr;
    };
    std::string why;
    void* handle = module_loader::open(path, &why);
    if (!handle) return fail("cannot load module " + path + ": " + why);
    auto module = std::make_unique<LoadedModule>();
    module->path_ = path;
    module->handle_ = handle;
    module->linkage_ = static_cast<ModuleLinkage*>(module_loader::symbol(handle, "Linkage"));
    if (!module->linkage_) return fail(path + ": the module exports no Linkage record");
    module->import_table_ = static_cast<ModuleImportTable*>(module_loader::symbol(handle, "ImportTable"));
    if (!module->import_table_) return fail(path + ": the module exports no ImportTable record");
    // Fill every import the module asks for that this host offers, up to
    // the terminating entry.
    for (ModuleImport* entry = &module->import_table_->entry; entry->id != 0; ++entry)
        if (entry->id == IMPORT_HOST_SERVICES) entry->services = &services_;
    if (module->linkage_->init) enter_module(module->linkage_->init);
    modules_.push_back(std::move(module));
    return modules_.back().get();
}

Placement* SimHost::place(const std::string& gauge_name, const char* parameters, std::string* error) {
    std::string module_name, name = gauge_name;
    size_t bang = gauge_name.find('!');
    if (bang != std::string::npos) {
        module_name = gauge_name.substr(0, bang);
        name = gauge_name.substr(bang + 1);
    }
    for (auto& m : modules_) {
        if (!module_name.empty() && file_stem(m->path()) != module_name) continue;
        if (GaugeHeader* g = m->find_gauge(name)) return place_header(m.get(), g, parameters, error);
    }
    if (error) *error = "unknown gauge " + gauge_name;
    return nullptr;
}

Placement* SimHost::place_header(LoadedModule* module, GaugeHeader* header, const char* parameters,
                                 std::string* error) {
    auto placement = std::make_unique<Placement>(*this, module, *header, parameters);
    Placement* p = placement.get();
    placements_.push_back(std::move(placement));
    (void)error;
    if (p->legacy()) {
        legacy_start(*p, module ? module->resource_handle() : 0);
        return p;
    }
    send(*p, SERVICE_INSTALL, module ? module->resource_handle() : 0);
    // After the install notice, which may choose another face.
    learn_background_size(*p);
    return p;
}

void SimHost::send(Placement& p, int32_t service, HostWord extra) {
    if (p.killed_) return;
    GaugeHeader* h = p.header();
    if (h->callback) enter_module(h->callback, h, service, extra);
}

void SimHost::kill(Placement& p) {
    if (p.killed_) return;
    if (p.legacy())
        legacy_kill(p);
    else
        send(p, SERVICE_KILL);
    p.killed_ = true;
}

void SimHost::remove(Placement& p) {
    kill(p);
    for (auto it = placements_.begin(); it != placements_.end(); ++it) {
        if (it->get() == &p) {
            placements_.erase(it);
            return;
        }
    }
}

void SimHost::kill_all() {
    for (auto& p : placements_) kill(*p);
}

void SimHost::cycle() {
    // Held buttons first: a repeat is a click of this cycle, seen by its
    // update like any other click.
    for (auto& p : placements_) p->repeat_held(clock_, mouse_repeat_interval);
    for (auto& p : placements_) p->update_cycle();
    expression_strings_.clear();
    if (simulation_) simulation_->advance(seconds_per_cycle);
    clock_ += seconds_per_cycle;
    sound_clock::advance(seconds_per_cycle);
}

// ------------------------------------------------------------ variables

void SimHost::set_var(uint32_t token, double value) {
    if (simulation_ && simulation_->write(token, value)) return;
    vars_[token] = value;
}

void SimHost::set_var_low_word(uint32_t token, uint32_t low, uint32_t high) {
    uint64_t bits = (uint64_t(high) << 32) | low;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    set_var(token, value);
}

double SimHost::var(uint32_t token) const {
    double value;
    if (simulation_ && simulation_->read(token, &value)) return value;
    auto it = vars_.find(token);
    return it == vars_.end() ? 0.0 : it->second;
}

void SimHost::refresh(VarRecord& v) {
    if (v.token == 0) return;
    tokens_read.insert(v.token);
    v.previous = v.value;
    v.value = var(v.token);
}

bool SimHost::panel_visible(uint32_t panel_id) const {
    auto it = panels_.find(panel_id);
    return it != panels_.end() && it->second;
}

std::string SimHost::help_text(uint32_t help_id) {
    char text[32];
    std::snprintf(text, sizeof text, "[help 0x%04X]", help_id);
    return text;
}

// ------------------------------------------------------------ services

void SimHost::svc_lookup_var(VarRecord* var) {
    if (!var) {
        faults.push_back("lookup_var with a null record");
        return;
    }
    tokens_read.insert(var->token);
    var->value = this->var(var->token);
}

void SimHost::svc_trigger_key_event(uint32_t id, uint32_t value) {
    if (id < 65536) faults.push_back("key event " + std::to_string(id) + " below 65536");
    events_.push_back({id, value});
    apply_panel_event(id, value);
    auto it = reactions_.find(id);
    if (it != reactions_.end()) it->second(value);
    if (simulation_) simulation_->key_event(id, value);
}

void SimHost::apply_panel_event(uint32_t id, uint32_t value) {
    switch (id) {
    case EVENT_PANEL_TOGGLE: panels_[value] = !panel_visible(value); break;
    case EVENT_PANEL_OPEN: panels_[value] = true; break;
    case EVENT_PANEL_CLOSE: panels_[value] = false; break;
    default: break;
    }
}

void SimHost::svc_panel_window_toggle(uint32_t id) {
    panel_toggles.push_back(id);
    panels_[id] = !panel_visible(id);
}

void SimHost::svc_execute_calculator_code(const char* expression, double* number, int32_t* integer,
                                          const char** string) {
    if (!expression) {
        faults.push_back("execute_calculator_code with a null expression");
        return;
    }
    expressions_evaluated.push_back(expression);
    ExpressionAnswer answer;
    auto it = expressions_.find(expression);
    if (it != expressions_.end()) {
        answer = it->second;
    } else if (simulation_) {
        // An answer set on the host (a test, a scenario) stands before the
        // simulation's own.
        const char* text = nullptr;
        if (simulation_->evaluate(expression, &answer.number, &text) && text) answer.string = text;
    }
    if (number) *number = answer.number;
    if (integer) *integer = answer.integer;
    if (string) {
        if (answer.string) {
            // Valid until the update callbacks of this cycle have run, in a
            // buffer of exactly its size: a module that keeps the pointer
            // longer, or reads past the end, reads freed memory.
            size_t n = answer.string->size() + 1;
            auto copy = std::make_unique<char[]>(n);
            std::memcpy(copy.get(), answer.string->c_str(), n);
            *string = copy.get();
            expression_strings_.push_back(std::move(copy));
        } else {
            *string = nullptr;
        }
    }
}

}  // namespace sim
