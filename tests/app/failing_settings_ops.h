// A settings-file operations seam that fails one chosen step, for tests of failed saves.
#pragma once

#include <errno.h>
#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "app/settings_file.h"

namespace hx350::test {

/// Passes everything to the system except the one step told to fail.
class FailingOps final : public SettingsFileOps {
  public:
    enum class Step { Create, Write, Sync, Close, Rename };
    FailingOps(Step step, int error_number, std::size_t write_budget = 0)
        : step_(step), error_number_(error_number), write_budget_(write_budget) {}

    int createTemporary(std::string& path_template) override {
        if (step_ == Step::Create) return refuse();
        const int fd = SettingsFileOps::createTemporary(path_template);
        temporary_ = path_template;
        return fd;
    }
    ssize_t writeSome(int fd, const void* data, std::size_t size) override {
        if (step_ != Step::Write) return SettingsFileOps::writeSome(fd, data, size);
        // A device that takes `write_budget` bytes and then is full.
        if (write_budget_ == 0) return refuse();
        const std::size_t n = std::min(size, write_budget_);
        write_budget_ -= n;
        return SettingsFileOps::writeSome(fd, data, n);
    }
    int sync(int fd) override { return step_ == Step::Sync ? refuse() : SettingsFileOps::sync(fd); }
    int close(int fd) override {
        const int result = SettingsFileOps::close(fd);  // the descriptor is released either way
        return step_ == Step::Close ? refuse() : result;
    }
    int rename(const std::string& from, const std::string& to) override {
        return step_ == Step::Rename ? refuse() : SettingsFileOps::rename(from, to);
    }

    std::string temporary_;

  private:
    int refuse() {
        errno = error_number_;
        return -1;
    }
    Step step_;
    int error_number_;
    std::size_t write_budget_;
};

}  // namespace hx350::test
