#pragma once

// Control and command identifiers of every window, numbered from a base per
// window, shared by the program, its resource script and the end-to-end tests.

#define QUENK_ICON_NAME "MAINICON"

// Main window (TVeskForm)
#define IDC_VESK_LABEL2 101
#define IDC_VESK_LABEL1 102
#define IDC_VESK_ITEMLIST 103
#define IDC_VESK_SELECT 104
#define IDC_VESK_DELETE 105
#define IDC_VESK_CLEANITEMS 106
#define IDC_VESK_CLEAN 107
#define IDC_VESK_PROGRESS 108
#define IDC_VESK_PREVIEW 109
#define IDM_MENU_CLOSE 151
#define IDM_TOOLS_OPTIONS 152
#define IDM_TOOLS_LOG 153
#define IDM_HELP_ABOUT 154
#define IDM_TOOLS_PREVIEW 155
#define IDM_TRAY_MINIMIZE 161
#define IDM_TRAY_RESTORE 162
#define IDM_TRAY_EXIT 163

// Log window (TLogForm)
#define IDC_LOG_ITEMS 201
#define IDC_LOG_LISTBOX1 202
#define IDC_LOG_LISTBOX2 203
#define IDC_LOG_LISTBOX3 204
#define IDC_LOG_OK 205
#define IDC_LOG_REMOVE 206
#define IDC_LOG_REMOVEALL 207
#define IDC_LOG_RESTORE 208

// About window (TAboutForm)
#define IDC_ABOUT_OK 301
#define IDC_ABOUT_LISTBOX1 302
#define IDC_ABOUT_MEMOABOUT 303
#define IDC_ABOUT_MEMODONATE 304
#define IDC_ABOUT_MEMOCONTACT 305

// Options window (TOptionsForm) and its pages
#define IDC_OPT_ITEMS 401
#define IDC_OPT_FRAME_CLEANING 402
#define IDC_OPT_OK 403
#define IDC_OPT_CANCEL 404
#define IDC_OPT_APPLY 405
#define IDC_OPT_FRAME_LOGFILES 406
#define IDC_OPT_FRAME_SYSTEMTRAY 407
#define IDC_OPT_FRAME_BACKUP 408
#define IDC_OPT_LABEL_NVC 410
#define IDC_OPT_LABEL_NV 411
#define IDC_OPT_LABEL_ATI 412
#define IDC_OPT_LABEL_CT 413
#define IDC_OPT_LABEL_RT 414
#define IDC_OPT_NVCFILE 415
#define IDC_OPT_NVCREG 416
#define IDC_OPT_NVFILE 417
#define IDC_OPT_NVREG 418
#define IDC_OPT_ATIFILE 419
#define IDC_OPT_ATIREG 420
#define IDC_OPT_CTFILE 421
#define IDC_OPT_CTREG 422
#define IDC_OPT_RTFILE 423
#define IDC_OPT_RTREG 424
#define IDC_OPT_LABEL_LOGFILES 430
#define IDC_OPT_LOGFILES 431
#define IDC_OPT_LABEL_SYSTEMTRAY 440
#define IDC_OPT_SYSTEMTRAY 441
#define IDC_OPT_BACKUP 451

// Restore window (TRestoreForm)
#define IDC_RESTORE_LABEL_BACKUP 501
#define IDC_RESTORE_LABEL1 502
#define IDC_RESTORE_RESTORED 503
#define IDC_RESTORE_LABEL2 504
#define IDC_RESTORE_NOTRESTORED 505
#define IDC_RESTORE_OK 506

// Preview window (TPreviewForm)
#define IDC_PREVIEW_LABELDELETED 601
#define IDC_PREVIEW_DELETED 602
#define IDC_PREVIEW_LABELSTAY 603
#define IDC_PREVIEW_STAY 604
#define IDC_PREVIEW_STATUS 605
#define IDC_PREVIEW_CLEANNOW 606
#define IDC_PREVIEW_CLOSE 607

// The notification icon's callback message (WM_APP + 1) and identifier.
#define QUENK_WM_TRAY 0x8001
#define QUENK_TRAY_ID 1
