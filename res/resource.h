#ifndef QUILLORA_RES_RESOURCE_H
#define QUILLORA_RES_RESOURCE_H

// Resource identifiers, shared by the resource script and the code.
#define IDR_POPUPMENU 102
#define IDI_TRAYICON 103
#define IDD_CREATEGAMMA 104
#define IDD_RESIDENTSETTINGS 111
#define IDD_MONITORSETTINGS 112

// Controls of the gamma creation dialog. The gamma slider has the same
// identifier in both dialogs.
#define IDC_GAMMASLIDER 1006
#define IDC_SAVE 1002
#define IDC_RESET 1003
#define IDC_APPLY 1007
#define IDC_GAMMATEXT 1008
#define IDC_DELAYTEXT 1010
#define IDC_DELAYSPIN 1011
#define IDC_RESOLUTION 1012
#define IDC_DARKSPIN 1013
#define IDC_DARKTEXT 1014
#define IDC_REFUSEDTEXT 1015

#define IDM_LOADFILE 40001
#define IDM_EXIT 40005
#define IDM_CREATEGAMMA 40008
#define IDM_RESTOREGAMMA 40009
#define IDM_RESIDENTSETTINGS 40010
#define IDM_AUTOSTART 40011
#define IDM_UNLOCKGAMMARANGE 40012
#define IDM_MONITORSETTINGS 40013
#define IDM_SCHEDULE 40014

#endif
