// "Set Numbers  Filter" on the Abonents page: sends the three number masks as the grid left them. The
// grid's boxes edit the masks and their parked digits (form_working_values.cpp); nothing is checked here,
// a "-" goes out as it stands and tells the module the source is disabled.
#include "app/form.h"
#include "link/device_link.h"
#include "params/event_masks.h"

namespace hx350 {

void TForm1::SetNfilter1Click() {
    link_->sendModuleCommand(params::setMasksCommand(TNrFilter.Text(), ANrFilter.Text(), DNrFilter.Text()));
}

}  // namespace hx350
