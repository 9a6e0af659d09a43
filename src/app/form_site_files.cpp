// Settings files other than "HX350.cfg": opening one into the pages, and the pages as a record.
#include <string>

#include "app/form.h"

namespace hx350 {

SettingsFileStatus TForm1::OpenSettingsFile(const std::string& name) {
    SettingsRecord record = record_;
    SettingsFileStatus status = hx350::ReadCFGFile(name, record, services_);
    // A short file stops the loading as at start-up, and the pages keep what they show. So does a file
    // that cannot be read: unlike at start-up the pages hold the technician's work by now, and emptying
    // them for a file that was never read would lose it.
    if (status.ok()) loadSettings(record);
    return status;
}

void TForm1::loadSettings(const SettingsRecord& record) {
    record_ = record;
    loadPagesFromRecord();
}

const SettingsRecord& TForm1::snapshotSettings() {
    snapshotPages();
    return record_;
}

}  // namespace hx350
