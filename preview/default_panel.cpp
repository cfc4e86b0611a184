// The previewer's built-in panel and scenario.
#include "preview/panel_layout.h"
#include "preview/scenario.h"

namespace sim {

// Every gauge of both modules: the main panel, the radio stack window
// (panel 50) and the pedestal window (panel 10).
const char* const kDefaultPanelLayout = R"(; The default panel of the Morvane twin.
[Window Titles]
Window00=Main Panel
Window01=Radio Stack
Window02=Pedestal

[Window00]
size=1500,920
position=0,0
background_color=46,52,50
ident=0
; flight instruments and engines
gauge00=Morvane_Instr!Airspeed, 10, 10, 180
gauge01=Morvane_Instr!Attitude, 200, 10, 180
gauge02=Morvane_Instr!Altimeter, 390, 10, 180
gauge03=Morvane_Instr!Tachometer, 600, 10, 180, , 1
gauge04=Morvane_Instr!Tachometer, 790, 10, 180, , 2
gauge05=Morvane_Instr!Manifold_Pressure, 980, 10, 180, , 1
gauge06=Morvane_Instr!Manifold_Pressure, 1170, 10, 180, , 2
gauge07=Morvane_Instr!Turn_Coordinator, 10, 200, 180
gauge08=Morvane_Instr!Gyro_Compass, 200, 200, 180
gauge09=Morvane_Instr!Vertical_Speed, 390, 200, 180
gauge10=Morvane_Instr!Oil_Temperature, 600, 200, 180
gauge11=Morvane_Instr!Oil_Pressure, 790, 200, 180
gauge12=Morvane_Instr!Fuel_Quantity, 980, 200, 180
gauge13=Morvane_Instr!Hydraulic_Pressure, 1170, 200, 180
; navigation and systems
gauge14=Morvane_Instr!ADF_Indicator, 10, 440, 180
gauge15=Morvane_Instr!VOR1_Indicator, 200, 440, 180
gauge16=Morvane_Instr!VOR2_Indicator, 390, 440, 180
gauge17=Morvane_Instr!Radio_Altimeter, 600, 440, 180, , s1
gauge18=Morvane_Instr!Synchroscope, 800, 440, 150
gauge19=Morvane_Instr!OAT_Indicator, 960, 440, 150
gauge20=Morvane_Instr!Suction_Indicator, 1120, 440, 150
gauge21=Morvane_Instr!Radio_Altimeter_Switch, 1290, 440, 30
gauge22=Morvane_Instr!Radio_Altimeter_DH_Light, 1330, 440, 38
gauge23=Morvane_Instr!Prop_Synch_Switch, 1380, 440, 36
gauge24=Morvane_Instr!OMI, 1290, 560, 120
; controls and fittings
gauge25=Morvane_Instr!Quorvet_Timer, 10, 640, 140
gauge26=Morvane_Instr!Flaps_Indicator, 160, 650, 150
gauge27=Morvane_Instr!Pitch_Trim_Indicator, 320, 650, 150
gauge28=Morvane_Instr!Rudder_Trim_Indicator, 480, 650, 150
gauge29=Morvane_Instr!Gear_Lever, 640, 640, 100
gauge30=Morvane_Instr!Gear_Lamps, 750, 650, 80
gauge31=Morvane_Instr!Parking_Brake, 840, 640, 90
gauge32=Morvane_Instr!Registration, 1000, 840, 225, 38
; panel window buttons
gauge33=Morvane_Instr!Kneeboard_Toggle, 950, 660, 38
gauge34=Morvane_Instr!ATC_Toggle, 995, 660, 38
gauge35=Morvane_Instr!Map_Toggle, 1040, 660, 38
gauge36=Morvane_Instr!Invisible_Toggle, 1085, 660, 38
gauge37=Morvane_Instr!Close_Subpanel, 1130, 660, 38
gauge38=Morvane_Instr!Radios_Toggle, 950, 710, 38, , tRADIO_STACK_PANEL
gauge39=Morvane_Instr!Landing_View_Toggle, 995, 710, 38
gauge40=Morvane_Instr!GPS_Toggle, 1040, 710, 38
gauge41=Morvane_Instr!Throttle_Toggle, 1085, 710, 38, , tTHROTTLE_PANEL
gauge42=Morvane_Instr!Compass_Toggle, 1130, 710, 38
gauge43=Morvane_Instr!Shut_Down, 1490, 910, 5, 5

[Window01]
size=290,830
position=1510,0
background_color=34,36,40
ident=50
gauge00=Morvane_Instr!Radio_ADF, 10, 10, 270
gauge01=Morvane_Instr!Radio_COM1, 10, 250, 270
gauge02=Morvane_Instr!Radio_NAV1, 10, 485, 270
gauge03=Morvane_Instr!Radio_NAV2, 10, 598, 270
gauge04=Morvane_Instr!Radio_XPDR, 10, 711, 270

[Window02]
size=1500,360
position=0,930
background_color=40,40,40
ident=10
gauge00=Morvane_Instr!Throttle_Quadrant, 10, 10, 360
gauge01=Morvane_Instr!Dirud_Box, 390, 10, 220
gauge02=Morvane_Instr!Fire_Valves, 630, 10, 300
gauge03=Telvor_Flaps!telvor_flaps, 950, 10, 420
)";

// A short circuit: start-up on the ground, take-off, climb to 1500 ft, an
// approach with radio-altimeter call-outs, and the landing.
const char* const kDefaultScenario = R"SCENARIO(# The default circuit.
# start-up: engines run up, radio switched on
at 0    set 755 30                  # the radio altimeter's call-out condition
at 0    set 615 60.96               # decision height 200 ft
at 0    expression "(A:ATC ID,string)" string F-BMVN
at 1    ramp 390 0 2200 6           # engine 1 revolutions
at 2    ramp 429 0 2200 6           # engine 2 revolutions
at 1    ramp 391 30 48 6
at 2    ramp 430 30 48 6
at 4    click 1305 499              # the radio altimeter switch
at 8    click 1727 200              # the ADF main switch
# take-off run and rotation
at 12   ramp 61 0 95 12             # airspeed, knots
at 24   ramp 65 0 1300 3            # climb 1000 ft/min
at 24   ramp 74 0 1500 90           # altitude, feet
at 24   ramp 614 0 457 90           # radio height, metres
at 24   ramp 61 95 130 20
# downwind, then the approach
at 114  ramp 65 1300 0 4
at 130  ramp 65 0 -900 4            # descent 700 ft/min
at 130  ramp 74 1500 0 130
at 130  ramp 614 457 0 130
at 130  ramp 61 130 85 60
at 258  ramp 65 -900 0 4
at 260  ramp 61 85 0 20
at 262  ramp 390 2200 800 8
at 262  ramp 429 2200 800 8
end 285
)SCENARIO";

}  // namespace sim
