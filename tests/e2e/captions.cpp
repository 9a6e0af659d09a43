// What each button, check box and radio button of the window shows when it opens, as the headless form
// has it: the control's design name (the widget's accessible description), a tab, its caption; one per
// line. The accessibility scenario compares the names a screen reader hears against these captions.
#include <cstdio>
#include <string>
#include <variant>

#include "app/form.h"

namespace {

void print(const std::string& name, const std::string& caption) {
    std::printf("%s\t%s\n", name.c_str(), caption.c_str());
}

}  // namespace

int main() {
    const hx350::TForm1 form;
    for (const hx350::ControlEntry& entry : form.registry().entries()) {
        if (const auto* button = std::get_if<hx350::Button*>(&entry.ref)) {
            print(entry.name, (*button)->Caption());
        } else if (const auto* box = std::get_if<hx350::CheckBox*>(&entry.ref)) {
            print(entry.name, (*box)->Caption());
        } else if (const auto* group = std::get_if<hx350::RadioGroup*>(&entry.ref)) {
            const auto& items = (*group)->Items();
            for (std::size_t i = 0; i < items.size(); ++i)
                print(entry.name + "[" + std::to_string(i) + "]", items[i]);
        }
    }
    return 0;
}
