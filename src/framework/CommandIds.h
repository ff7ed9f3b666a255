// SPDX-License-Identifier: MIT
// Every numeric id of the program: commands, string-table entries, menus, toolbars and icons.
// Menus, toolbars, accelerators and the string table refer to these ids by name in the data
// files of resources/, so the list below is the one place where a number is given.
#pragma once

#include <optional>
#include <string_view>

// X(name, value). Several names may share a value when one number names a command and a
// resource (the program numbers menu, toolbar and icon of one window alike, e.g. 128).
#define QUORVI_RESOURCE_IDS(X)                                                                     \
    /* resources */                                                                                \
    X(IDR_MAINFRAME, 128)       /* menu, toolbar, accelerators and app icon */                     \
    X(IDR_IMAGETYPE, 129)       /* document menu and document string */                            \
    X(IDR_TOOLBAR_WINDOWS, 131) /* window commands; full-screen bar */                             \
    X(IDR_TRAY_MENU, 155)       /* notification-area menu */                                       \
    X(IDR_IMAGE_FRAME_ICON, 161)                                                                   \
    X(IDD_NEW_IMAGE, 163)                                                                          \
    X(IDR_TOOLBAR_MENU_IMAGES, 234) /* images of menu items that have no toolbar button */         \
    X(IDI_TRAY, 253)                                                                               \
    X(IDR_TAB_MENU, 341)  /* "TabViewCtrl" */                                                      \
    X(IDR_VIEW_MENU, 343) /* "TavixView" */                                                        \
    /* capture commands */                                                                         \
    X(ID_CAPTURE_ACTIVE_WINDOW, 1100)                                                              \
    X(ID_CAPTURE_CONTROL, 1101)                                                                    \
    X(ID_CAPTURE_ICON, 1102) /* icon-sized square; no menu entry */                                \
    X(ID_CAPTURE_MENU, 1103)                                                                       \
    X(ID_CAPTURE_ELLIPSE, 1104)                                                                    \
    X(ID_CAPTURE_POLYGON, 1152)                                                                    \
    X(ID_CAPTURE_RECTANGLE, 1168)                                                                  \
    X(ID_CAPTURE_REPEAT_LAST, 1232)                                                                \
    X(ID_CAPTURE_CLIENT, 32788)                                                                    \
    X(ID_CAPTURE_TRIANGLE, 32789) /* no menu entry */                                              \
    X(ID_CAPTURE_CIRCLE, 32790)                                                                    \
    X(ID_CAPTURE_SQUARE, 32791)                                                                    \
    X(ID_CAPTURE_DESKTOP, 32792)                                                                   \
    X(ID_CAPTURE_SINGLE_WINDOW, 32793)                                                             \
    X(ID_CAPTURE_DEFAULT, 32824)                                                                   \
    X(ID_CAPTURE_OPTIONS, 32822)                                                                   \
    X(ID_TRAY_BANNER, 666) /* banner strip of the tray menu; no handler */                         \
    /* window management (MDI client) */                                                           \
    X(ID_VIEW_FILE_TABS, 32771)                                                                    \
    X(ID_VIEW_FULL_SCREEN, 32772)                                                                  \
    X(ID_WINDOW_NEXT, 32773)                                                                       \
    X(ID_WINDOW_PREVIOUS, 32774)                                                                   \
    X(ID_WINDOW_CLOSE_ALL, 32775)                                                                  \
    X(ID_WINDOW_SAVE_ALL, 32776)                                                                   \
    X(ID_WINDOW_MANAGE, 32777)                                                                     \
    X(IDS_WINDOWS_ITEM, 32778)                                                                     \
    /* main frame */                                                                               \
    X(ID_VIEW_TAB_BAR, 32787)                                                                      \
    X(ID_EDIT_PASTE_AS_NEW, 32818)                                                                 \
    X(ID_FILE_CLOSE_ALL, 32847)                                                                    \
    X(ID_SHOW_MAIN_WINDOW, 32849)                                                                  \
    X(ID_FILE_EXPLORE_OUTPUT, 32850)                                                               \
    X(ID_HELP_HOME_PAGE, 32854)                                                                    \
    X(ID_VIEW_ZOOM_25, 32811)                                                                      \
    X(ID_VIEW_ZOOM_50, 32812)                                                                      \
    X(ID_VIEW_ZOOM_100, 32813)                                                                     \
    X(ID_VIEW_ZOOM_200, 32814)                                                                     \
    X(ID_VIEW_ZOOM_400, 32815)                                                                     \
    X(ID_VIEW_ZOOM_FIT, 32816)                                                                     \
    /* image operations (document) */                                                              \
    X(ID_IMAGE_RESIZE, 32794)                                                                      \
    X(ID_IMAGE_ROTATE_ANY, 32795)                                                                  \
    X(ID_IMAGE_ROTATE_CW, 32796)                                                                   \
    X(ID_IMAGE_ROTATE_CCW, 32797)                                                                  \
    X(ID_IMAGE_SCALE, 32798)                                                                       \
    X(ID_IMAGE_STRETCH, 32799)                                                                     \
    X(ID_IMAGE_CROP, 32800)                                                                        \
    X(ID_IMAGE_FLIP_H, 32801)                                                                      \
    X(ID_IMAGE_FLIP_V, 32802)                                                                      \
    X(ID_IMAGE_BRIGHTNESS, 32803)                                                                  \
    X(ID_IMAGE_CONTRAST, 32804)                                                                    \
    X(ID_IMAGE_GRAYSCALE, 32805)                                                                   \
    X(ID_IMAGE_INTENSITY, 32807) /* Operations menu only, no toolbar button */                     \
    X(ID_IMAGE_INVERT, 32809)                                                                      \
    X(ID_EDIT_COPY_ALL, 32856)                                                                     \
    X(ID_FILE_RELOAD, 32857)                                                                       \
    /* image view */                                                                               \
    X(ID_VIEW_SELECT_REGION, 32808)                                                                \
    X(ID_EDIT_SELECT_ALL, 32819)                                                                   \
    X(ID_EDIT_UNSELECT, 32848)                                                                     \
    X(ID_VIEW_ZOOM_IN, 32839)                                                                      \
    X(ID_VIEW_ZOOM_OUT, 32840)                                                                     \
    /* framework commands */                                                                       \
    X(ID_FILE_NEW, 57600)                                                                          \
    X(ID_FILE_OPEN, 57601)                                                                         \
    X(ID_FILE_CLOSE, 57602)                                                                        \
    X(ID_FILE_SAVE, 57603)                                                                         \
    X(ID_FILE_SAVE_AS, 57604)                                                                      \
    X(ID_FILE_PRINT_SETUP, 57606)                                                                  \
    X(ID_FILE_PRINT, 57607)                                                                        \
    X(ID_FILE_PRINT_DIRECT, 57608)                                                                 \
    X(ID_FILE_PRINT_PREVIEW, 57609)                                                                \
    X(ID_FILE_MRU_FILE1, 57616) /* recent files: 57616 to 57631 */                                 \
    X(ID_FILE_MRU_FILE2, 57617)                                                                    \
    X(ID_FILE_MRU_FILE3, 57618)                                                                    \
    X(ID_FILE_MRU_FILE4, 57619)                                                                    \
    X(ID_FILE_MRU_FILE5, 57620)                                                                    \
    X(ID_FILE_MRU_FILE6, 57621)                                                                    \
    X(ID_FILE_MRU_LAST, 57631)                                                                     \
    X(ID_EDIT_COPY, 57634)                                                                         \
    X(ID_EDIT_CUT, 57635)                                                                          \
    X(ID_EDIT_PASTE, 57637)                                                                        \
    X(ID_EDIT_UNDO, 57643)                                                                         \
    X(ID_EDIT_REDO, 57644)                                                                         \
    X(ID_WINDOW_NEW, 57648)                                                                        \
    X(ID_WINDOW_ARRANGE, 57649)                                                                    \
    X(ID_WINDOW_CASCADE, 57650)                                                                    \
    X(ID_WINDOW_TILE_HORZ, 57651)                                                                  \
    X(ID_WINDOW_TILE_VERT, 57652)                                                                  \
    X(ID_APP_ABOUT, 57664)                                                                         \
    X(ID_APP_EXIT, 57665)                                                                          \
    X(ID_HELP_FINDER, 57667) /* "Help Topics" */                                                   \
    X(ID_CONTEXT_HELP, 57669)                                                                      \
    X(ID_HELP, 57670)                                                                              \
    X(ID_NEXT_PANE, 57680)                                                                         \
    X(ID_PREV_PANE, 57681)                                                                         \
    X(ID_VIEW_TOOLBAR, 59392)                                                                      \
    X(ID_VIEW_STATUS_BAR, 59393)                                                                   \
    /* status-bar indicators */                                                                    \
    X(ID_INDICATOR_MOUSE_POS, 59142)                                                               \
    X(ID_INDICATOR_COLOR, 59143)                                                                   \
    X(ID_INDICATOR_IMAGE_SIZE, 59144)                                                              \
    /* strings of the program */                                                                   \
    X(IDS_COLOR_BITS, 130)                                                                         \
    X(IDS_IMAGE_SIZE, 131)                                                                         \
    X(IDS_MENU_CAPTURE_HELP, 132)                                                                  \
    X(IDS_MENU_CAPTURE_NOTE, 133)                                                                  \
    X(IDS_NO_POPUP_MENU, 134)                                                                      \
    X(IDS_NO_ACTIVE_WINDOW, 135)                                                                   \
    X(IDS_PICKER_HINT, 136)                                                                        \
    X(IDS_PICKER_SIZE, 137)                                                                        \
    X(IDS_TRAY_MENU_MODE, 138)                                                                     \
    X(IDS_CHOOSE_DIRECTORY, 139)                                                                   \
    X(IDS_ASK_SAVE_IMAGES, 140)                                                                    \
    X(IDS_NO_DIRECTORY, 141)                                                                       \
    X(IDS_FILE_EXISTS, 142)                                                                        \
    X(IDS_COUNTER_MAX, 143)                                                                        \
    X(IDS_PRINTER_TROUBLE, 151)                                                                    \
    X(IDS_DISCARD_CHANGES, 152)                                                                    \
    X(IDS_POINTER_BUSY, 153)                                                                       \
    X(IDS_NOT_TRUE_COLOR, 1233)                                                                    \
    X(IDS_HOME_PAGE_URL, 1234)                                                                     \
    X(IDS_TRAY_TIP, 1235)                                                                          \
    X(IDS_CANT_OPEN_LINK, 1236)                                                                    \
    X(IDS_NO_APPLICATION, 1237)                                                                    \
    /* strings of the framework */                                                                 \
    X(IDS_APP_TITLE, 57344)                                                                        \
    X(IDS_IDLE_MESSAGE, 57345)                                                                     \
    X(IDS_OPEN_FILE, 61440)                                                                        \
    X(IDS_SAVE_FILE, 61441)                                                                        \
    X(IDS_ALL_FILTER, 61442)                                                                       \
    X(IDS_UNTITLED, 61443)                                                                         \
    X(IDS_SAVE_FILE_COPY, 61444)                                                                   \
    X(IDP_ASK_TO_SAVE, 61700)                                                                      \
    X(IDP_FAILED_TO_OPEN_DOC, 61701)                                                               \
    X(IDP_FAILED_TO_SAVE_DOC, 61702)                                                               \
    X(IDP_FAILED_TO_CREATE_DOC, 61703)                                                             \
    X(IDP_PARSE_INT, 61704)                                                                        \
    X(IDP_PARSE_REAL, 61705)                                                                       \
    X(IDP_PARSE_INT_RANGE, 61706)                                                                  \
    X(IDP_PARSE_REAL_RANGE, 61707)                                                                 \
    X(IDP_PARSE_STRING_SIZE, 61708)                                                                \
    X(IDP_PARSE_UINT, 61709)                                                                       \
    X(IDP_COMMAND_FAILURE, 61710)

#define QUORVI_DEFINE_RESOURCE_ID(name, value) inline constexpr unsigned name = value;
QUORVI_RESOURCE_IDS(QUORVI_DEFINE_RESOURCE_ID)
#undef QUORVI_DEFINE_RESOURCE_ID

// Number of recent-file entries the program keeps (ID_FILE_MRU_FILE1 to ID_FILE_MRU_FILE6).
inline constexpr int kRecentFileCount = 6;

// The id named `name` ("ID_FILE_OPEN"), or a decimal number ("57601"); nothing for other text.
std::optional<unsigned> ResourceIdFromName(std::string_view name);

// The first name given to `id` in the list above, or an empty view.
std::string_view ResourceIdName(unsigned id);
