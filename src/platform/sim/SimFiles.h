#pragma once
// An in-memory file system keyed by the full path as the program spells it.

#include <map>
#include <set>
#include <string>

#include "platform/Services.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

class SimFiles final : public FileService {
  public:
    explicit SimFiles(CallLog& log) : log_(log) {}

    void set(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
    std::optional<std::string> get(const std::string& path) const;
    std::vector<std::string> names() const;
    void setReadOnlyFolder(const std::string& folder, bool readOnly);
    void setDiskFull(bool full) { diskFull_ = full; }
    void setMoveFailsAfterDelete(bool fails) { moveFailsAfterDelete_ = fails; }

    std::optional<std::string> read(const std::string& path, std::size_t limit) override;
    bool exists(const std::string& path) override;
    bool write(const std::string& path, std::string_view bytes) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;

  private:
    bool writable(const std::string& path) const;

    CallLog& log_;
    std::map<std::string, std::string> files_;
    std::set<std::string> readOnlyFolders_;
    bool diskFull_ = false;
    bool moveFailsAfterDelete_ = false;
};

}  // namespace kestrove::sim
