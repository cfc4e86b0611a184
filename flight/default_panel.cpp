// The built-in panel and circuit every program flies by default.
#include "flight/panel_layout.h"
#include "flight/scenario.h"

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

// The circuit, flown through the aircraft from cold and dark to parked:
// start-up at the starting box, taxi, take-off, a left-hand circuit at
// about 1000 ft with the ADF and both VORs tuned, an approach from the
// east with gear down and flaps out over the three markers and the
// radio-altimeter call-outs, the landing, and the aircraft shut down with
// its parking brake set. Clicks are on the built-in panel.
const char* const kDefaultScenario = R"SCENARIO(# The built-in circuit.
# cold and dark; mixtures rich, throttles cracked
at 2    pilot mixture 1
at 2    pilot throttle 0.1
at 3    click 660 1019              # left engine admission valve open
at 4    click 918 1019              # right engine admission valve open
# engine 1: selector up through H, E (tanks valve), 1, 2 to 1.2
at 5    click 476 1023
at 5.5  click 476 1023
at 6    click 476 1023
at 6.5  click 476 1023
at 7    click 476 1023
at 8    click 408 1142              # fuel pump 1 (POMPE ESS)
at 9    click 408 1039              # starter 1 (DEMARREUR): cranks, the engine catches
at 13   click 408 1039              # starter 1 off
at 14   click 408 1142              # fuel pump 1 off
# engine 2 the same
at 15   click 519 1023
at 15.5 click 519 1023
at 16   click 519 1023
at 16.5 click 519 1023
at 17   click 519 1023
at 18   click 592 1142
at 19   click 592 1039
at 23   click 592 1039
at 24   click 592 1142
# radios: radio altimeter on, the ADF on and tuned to the NDB (350 to 375 kHz),
# NAV1 on and tuned up to the VOR on 113.70, NAV2 on
at 26   click 1305 499
at 27   click 1727 200
at 28   click 1662 200 right
at 28.5 click 1662 200 right
at 29   click 1662 200 right
at 29.5 click 1662 200 right
at 30   click 1662 200 right
at 33   click 1601 570
at 34   click 1566 515
at 35   click 1601 683
at 37   click 1327 1029             # flaps 1
# taxi to the runway
at 40   click 885 695               # parking brake off
at 40   pilot throttle 0.3
at 46   pilot throttle 0.2
at 62   pilot throttle 0.12
at 68   pilot steer -15
at 75.2 pilot steer 0
at 84   pilot brakes 1
at 87   pilot brakes 0
# take-off on runway 27
at 92   pilot throttle 1
at 104  pilot pitch 8 1
at 120  click 680 680               # gear up
at 132  click 987 1029              # flaps up
# crosswind, downwind
at 135  pilot bank -20 1
at 157  pilot bank 0 1
at 166  pilot pitch 0.5 1
at 168  pilot throttle 0.55 2
at 170  pilot bank -20 1
at 195  pilot bank 0 1
# approach: slow down, flaps 2, gear down, base and final
at 260  pilot throttle 0.4 2
at 260  pilot pitch 2 1
at 264  click 1327 1029
at 265  click 1327 1029             # flaps 2
at 270  click 680 680               # gear down
at 295  pilot bank -20 1
at 312.6 pilot bank 0 1
at 352.3 pilot bank -20 1
at 369.6 pilot bank 0 1
at 370  click 1327 1029             # flaps 3
at 378  pilot throttle 0.12 2
at 378  pilot pitch -2.5 1
# flare, landing, roll-out
at 484  pilot pitch 3 1
at 484  pilot throttle 0 1
at 490  pilot brakes 0.6
# parked: brake set, flaps up, engines cut, magnetos off
at 515  pilot brakes 0
at 515  click 885 695               # parking brake set
at 516  click 987 1029
at 517  click 987 1029
at 518  click 987 1029
at 520  pilot mixture 0
at 525  click 476 1112
at 525.5 click 476 1112
at 526  click 476 1112
at 526.5 click 476 1112
at 527  click 476 1112
at 528  click 519 1112
at 528.5 click 519 1112
at 529  click 519 1112
at 529.5 click 519 1112
at 530  click 519 1112
end 540
)SCENARIO";

const double kDefaultScenarioPictureTime = 385;

}  // namespace sim
