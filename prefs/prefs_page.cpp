#include "prefs/prefs_page.h"

#include "contract/module_binding.h"
#include "contract/version.h"
#include "prefs/prefs_dialog.h"
#include "prefs/resource.h"

static const char page_name[] = VEXIL_COMPONENT_NAME;
static const char parent_page_name[] = "Components";

HWND prefs_page::create(HWND parent)
{
    return CreateDialogParamA(static_cast<HINSTANCE>(module_handle), MAKEINTRESOURCEA(IDD_PREFS_PAGE), parent, prefs_dialog_proc, 0);
}

const char* prefs_page::get_name()
{
    return page_name;
}

const char* prefs_page::get_parent_name()
{
    return parent_page_name;
}
