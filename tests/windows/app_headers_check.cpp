// The application never sees the Windows headers: the framework headers it uses declare
// only the handle types of win_handles.h. This file does not compile when one of them
// brings in <windows.h>.
#include "event_loop.h"
#include "free_routines.h"
#include "gdi_resources.h"
#include "message_boxes.h"
#include "mouse_capture.h"
#include "t_bitmap.h"
#include "t_button.h"
#include "t_c5_menu.h"
#include "t_control.h"
#include "t_dialog.h"
#include "t_get.h"
#include "t_ini.h"
#include "t_say.h"
#include "t_timer.h"
#include "t_toolbar.h"
#include "t_tray_icon.h"
#include "t_window.h"
#include "window_styles.h"

#ifdef _WINDOWS_
#error "a framework header the application uses includes <windows.h>"
#endif
