// The ten uplink settings of the "GPRS, FTP" page, stated once: each edit with its "WR"/"RD" button, the
// handler the button runs, the module setting it writes or reads, and its record field. The page design,
// the wiring, the "Read " box, the field colours and the settings table all iterate this list.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "app/form.h"
#include "app/settings_record.h"
#include "params/uplink.h"

namespace hx350 {

struct UplinkRow {
    params::UplinkField setting;
    std::string_view group;  ///< id and caption of the page's group: "GPRS", "FTP", "HTTP"
    Edit GprsFtpPageControls::*edit;
    std::string_view edit_name;
    std::string_view label;  ///< the caption beside the edit, as the design has it
    std::size_t max_length;
    std::string_view design_text;
    Button GprsFtpPageControls::*button;
    std::string_view button_name;
    std::string_view handler;
    TextField field;
};

// clang-format off
inline constexpr std::array<UplinkRow, params::kUplinkFieldCount> kUplinkRows{{
    {params::UplinkField::kApn,         "GPRS", &GprsFtpPageControls::APN,           "APN",           "APN ",              40, "",        &GprsFtpPageControls::APNbtn,         "APNbtn",         "APNbtnClick",         cfg::GprsApn},
    {params::UplinkField::kUserId,      "GPRS", &GprsFtpPageControls::UserID,        "UserID",        "User ID",           16, "",        &GprsFtpPageControls::UIDbtn,         "UIDbtn",         "UIDbtnClick",         cfg::GprsUserId},
    {params::UplinkField::kPassword,    "GPRS", &GprsFtpPageControls::Password,      "Password",      "Password",          16, "",        &GprsFtpPageControls::PWbtn,          "PWbtn",          "PWbtnClick",          cfg::GprsPassword},
    {params::UplinkField::kIpAddress,   "GPRS", &GprsFtpPageControls::IPaddress,     "IPaddress",     "IP address",        40, "0.0.0.0", &GprsFtpPageControls::IPbtn,          "IPbtn",          "IPbtnClick",          cfg::GprsIpAddress},
    {params::UplinkField::kFtpHostName, "FTP",  &GprsFtpPageControls::FTPHostName,   "FTPHostName",   "Host Name",         40, "",        &GprsFtpPageControls::FTPHostNamebtn, "FTPHostNamebtn", "FTPHostNamebtnClick", cfg::FtpHostName},
    {params::UplinkField::kFtpUserName, "FTP",  &GprsFtpPageControls::UserNameFTP,   "UserNameFTP",   "User ID",           40, "",        &GprsFtpPageControls::UNbtn,          "UNbtn",          "UNbtnClick",          cfg::FtpUserName},
    {params::UplinkField::kFtpPassword, "FTP",  &GprsFtpPageControls::PasswordFTP,   "PasswordFTP",   "Password",          16, "",        &GprsFtpPageControls::FPWbtn,         "FPWbtn",         "FPWbtnClick",         cfg::FtpPassword},
    {params::UplinkField::kFtpDirName,  "FTP",  &GprsFtpPageControls::DirName,       "DirName",       "Object / Dir Name", 16, "",        &GprsFtpPageControls::DirNameBtn,     "DirNameBtn",     "DirNameBtnClick",     cfg::FtpDirName},
    {params::UplinkField::kHttpHost1,   "HTTP", &GprsFtpPageControls::HTTPhostName,  "HTTPhostName",  "HTTP Host ",        40, "",        &GprsFtpPageControls::HTTPhostBtn,    "HTTPhostBtn",    "HTTPhostBtnClick",    cfg::HttpHost1},
    {params::UplinkField::kHttpHost2,   "HTTP", &GprsFtpPageControls::HTTPhostName2, "HTTPhostName2", "HTTP Host  2",      40, "",        &GprsFtpPageControls::HTTPhostBtn2,   "HTTPhostBtn2",   "HTTPhostBtn2Click",   cfg::HttpHost2},
}};
// clang-format on

constexpr bool uplinkRowsFollowTheSettings() {
    for (std::size_t i = 0; i < kUplinkRows.size(); ++i) {
        if (static_cast<std::size_t>(kUplinkRows[i].setting) != i) return false;
    }
    return true;
}
static_assert(uplinkRowsFollowTheSettings(), "kUplinkRows must list the settings in their enum order");

/// The row of `setting`.
constexpr const UplinkRow& uplinkRow(params::UplinkField setting) {
    return kUplinkRows[static_cast<std::size_t>(setting)];
}

}  // namespace hx350
