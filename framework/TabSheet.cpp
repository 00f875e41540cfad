// The tab sheet: a plain container aligned to its page control's display area.
#include "framework/TabSheet.h"

namespace fw {

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetAlign(TAlign::alClient);
}

} // namespace fw
