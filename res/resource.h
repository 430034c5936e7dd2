#ifndef QUILLORA_RES_RESOURCE_H
#define QUILLORA_RES_RESOURCE_H

// Resource identifiers, shared by the resource script and the code.
#define IDR_POPUPMENU 102
#define IDI_TRAYICON 103
#define IDD_CREATEGAMMA 104
#define IDD_RESIDENTSETTINGS 111

#define IDM_LOADFILE 40001
#define IDM_EXIT 40005
#define IDM_CREATEGAMMA 40008
#define IDM_RESTOREGAMMA 40009
#define IDM_RESIDENTSETTINGS 40010

#endif
