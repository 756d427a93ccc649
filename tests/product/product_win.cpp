#include "product_win.h"

#include "support/machine_win.h"
#include "support/ui_driver_win.h"

namespace product {

// The static control of Vexora.exe that shows the opened file.
const int kPathControl = 100;

std::string Dir()
{
    return machine::BinDir() + "product\\";
}

std::string TakeShownPath(unsigned long pid)
{
    HWND window = ui::WaitForWindow("Vexora", pid, 20000);
    if (!window)
        return "";
    std::string shown = ui::Text(GetDlgItem(window, kPathControl));
    ui::Close(window);
    ui::WaitForWindowGone(window, 10000);
    return shown;
}

}  // namespace product
