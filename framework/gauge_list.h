// The fifty gauge headers of the module, in the order of its gauge table.
#pragma once

#include "framework/host_records.h"

extern GaugeHeader gauge_shut_down;
extern GaugeHeader gauge_registration;
extern GaugeHeader gauge_kneeboard_toggle;
extern GaugeHeader gauge_atc_toggle;
extern GaugeHeader gauge_map_toggle;
extern GaugeHeader gauge_invisible_toggle;
extern GaugeHeader gauge_close_subpanel;
extern GaugeHeader gauge_radios_toggle;
extern GaugeHeader gauge_landing_view_toggle;
extern GaugeHeader gauge_gps_toggle;
extern GaugeHeader gauge_throttle_toggle;
extern GaugeHeader gauge_compass_toggle;
extern GaugeHeader gauge_radio_adf;
extern GaugeHeader gauge_radio_com1;
extern GaugeHeader gauge_radio_nav1;
extern GaugeHeader gauge_radio_nav2;
extern GaugeHeader gauge_radio_xpdr;
extern GaugeHeader gauge_airspeed;
extern GaugeHeader gauge_attitude;
extern GaugeHeader gauge_vertical_speed;
extern GaugeHeader gauge_gyro_compass;
extern GaugeHeader gauge_altimeter;
extern GaugeHeader gauge_turn_coordinator;
extern GaugeHeader gauge_tachometer;
extern GaugeHeader gauge_manifold_pressure;
extern GaugeHeader gauge_oil_temperature;
extern GaugeHeader gauge_oil_pressure;
extern GaugeHeader gauge_hydraulic_pressure;
extern GaugeHeader gauge_fuel_quantity;
extern GaugeHeader gauge_dirud_box;
extern GaugeHeader gauge_throttle_quadrant;
extern GaugeHeader gauge_adf_indicator;
extern GaugeHeader gauge_vor1_indicator;
extern GaugeHeader gauge_vor2_indicator;
extern GaugeHeader gauge_oat_indicator;
extern GaugeHeader gauge_suction_indicator;
extern GaugeHeader gauge_quorvet_timer;
extern GaugeHeader gauge_pitch_trim_indicator;
extern GaugeHeader gauge_rudder_trim_indicator;
extern GaugeHeader gauge_synchroscope;
extern GaugeHeader gauge_radio_altimeter;
extern GaugeHeader gauge_flaps_indicator;
extern GaugeHeader gauge_prop_synch_switch;
extern GaugeHeader gauge_radio_altimeter_switch;
extern GaugeHeader gauge_parking_brake;
extern GaugeHeader gauge_gear_lever;
extern GaugeHeader gauge_fire_valves;
extern GaugeHeader gauge_radio_altimeter_dh_light;
extern GaugeHeader gauge_gear_lamps;
extern GaugeHeader gauge_omi;

#define MODULE_GAUGES \
    &gauge_shut_down, \
    &gauge_registration, \
    &gauge_kneeboard_toggle, \
    &gauge_atc_toggle, \
    &gauge_map_toggle, \
    &gauge_invisible_toggle, \
    &gauge_close_subpanel, \
    &gauge_radios_toggle, \
    &gauge_landing_view_toggle, \
    &gauge_gps_toggle, \
    &gauge_throttle_toggle, \
    &gauge_compass_toggle, \
    &gauge_radio_adf, \
    &gauge_radio_com1, \
    &gauge_radio_nav1, \
    &gauge_radio_nav2, \
    &gauge_radio_xpdr, \
    &gauge_airspeed, \
    &gauge_attitude, \
    &gauge_vertical_speed, \
    &gauge_gyro_compass, \
    &gauge_altimeter, \
    &gauge_turn_coordinator, \
    &gauge_tachometer, \
    &gauge_manifold_pressure, \
    &gauge_oil_temperature, \
    &gauge_oil_pressure, \
    &gauge_hydraulic_pressure, \
    &gauge_fuel_quantity, \
    &gauge_dirud_box, \
    &gauge_throttle_quadrant, \
    &gauge_adf_indicator, \
    &gauge_vor1_indicator, \
    &gauge_vor2_indicator, \
    &gauge_oat_indicator, \
    &gauge_suction_indicator, \
    &gauge_quorvet_timer, \
    &gauge_pitch_trim_indicator, \
    &gauge_rudder_trim_indicator, \
    &gauge_synchroscope, \
    &gauge_radio_altimeter, \
    &gauge_flaps_indicator, \
    &gauge_prop_synch_switch, \
    &gauge_radio_altimeter_switch, \
    &gauge_parking_brake, \
    &gauge_gear_lever, \
    &gauge_fire_valves, \
    &gauge_radio_altimeter_dh_light, \
    &gauge_gear_lamps, \
    &gauge_omi, \

