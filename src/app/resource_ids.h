#pragma once
// Resource numbers shared by kivo.rc and the code (plain #defines: windres
// reads this file too). The pictures are drawn by tools/make_resources.py.

// Icons, each with 16, 32 and 48 pixel images with alpha.
#define IDI_KIVO 105
#define IDI_TRAY_FLASH 108          // the "off" phase of flashing: a dimmed envelope
#define IDI_TRAY_ERROR 132
#define IDI_TRAY_CHECK 134
#define IDI_TRAY_CHECK_ERROR 136
#define IDI_MESSAGE_DELETED 161
#define IDI_MESSAGE_UNCERTAIN 177
#define IDI_ACCOUNT_CHECKING 188
#define IDI_ACCOUNT_IDLE 189
#define IDI_ACCOUNT_FAILED 190
#define IDI_ACCOUNT_DISABLED 191
#define IDI_MESSAGE_SPAMMER 196
#define IDI_ATTACHMENT 203
#define IDI_PRIORITY_HIGH 207         // X-Priority 1 and 2
#define IDI_PRIORITY_LOW 208          // X-Priority 4 and 5
#define IDI_MESSAGE_FRIEND 238

// Toolbar strips: one 16x16 image per button, in button order, 24-bit, with
// TOOLBAR_MASK_COLOUR where the button shows through. Load them into an
// image list with ImageList_AddMasked (not TB_ADDBITMAP, which remaps greys
// and would punch holes into the disabled images).
#define IDB_TOOLBAR_DISABLED 242
#define IDB_TOOLBAR 245
#define TOOLBAR_IMAGE_SIZE 16
#define TOOLBAR_IMAGE_COUNT 10
#define TOOLBAR_MASK_COLOUR 0x00FF00FF  // COLORREF of RGB(255, 0, 255)

// Header bitmaps: 8-bit, drawn on RGB(192, 192, 192); load them with
// LoadImage(..., LR_LOADMAP3DCOLORS) so that grey becomes the face colour.
#define IDB_SORT_ASCENDING 168
#define IDB_SORT_DESCENDING 169
#define IDB_HEADER_ATTACH 202
#define IDB_HEADER_PRIORITY 206

// The preview pane's attachment button: 30x30, 24-bit, PREVIEW_ATTACH_MASK_COLOUR
// shows the button through.
#define IDB_PREVIEW_ATTACH 213
#define PREVIEW_ATTACH_SIZE 30
#define PREVIEW_ATTACH_MASK_COLOUR 0x00808000  // COLORREF of RGB(0, 128, 128)

// Menus. Each popup menu resource holds its menu as its first popup.
#define IDR_TRAY_MENU 109
#define IDR_ACCOUNTS_MENU 126
#define IDR_MAIN_MENU 144
#define IDR_MESSAGES_MENU 159
#define IDR_ACCOUNTS_CONTEXT_MENU 163
// Where the accounts and messages popups go into the menu bar.
#define MAIN_MENU_ACCOUNTS_POSITION 2
#define MAIN_MENU_MESSAGES_POSITION 3

// Accelerator tables.
#define IDR_MESSAGES_ACCELERATORS 184
#define IDR_MAIN_ACCELERATORS 185
#define IDR_ACCOUNTS_ACCELERATORS 187

// Dialog templates and their controls.
#define IDD_MAIN 102
#define IDD_SHOW_HEADER 160
#define IDC_HEADER_TEXT 1054
#define IDD_COLUMNS 199
#define IDC_COLUMN_LIST 20000
#define IDC_COLUMN_MOVE_UP 1119
#define IDC_COLUMN_MOVE_DOWN 20002
#define IDC_COLUMN_SHOW 20003
#define IDC_COLUMN_HIDE 20004
#define IDC_COLUMN_RESET 20005
#define IDC_COLUMN_WIDTH 20006
#define IDD_LOG 256
#define IDC_LOG_LIST 1161
