#include "platform/sim/SimFiles.h"

namespace kestrove::sim {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> SimFiles::get(const std::string& path) const {
    const auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> SimFiles::names() const {
    std::vector<std::string> all;
    for (const auto& [path, bytes] : files_) all.push_back(path);
    return all;
}

void SimFiles::setReadOnlyFolder(const std::string& folder, bool readOnly) {
    if (readOnly) {
        readOnlyFolders_.insert(folder);
    } else {
        readOnlyFolders_.erase(folder);
    }
}

bool SimFiles::writable(const std::string& path) const { return !readOnlyFolders_.contains(folderOf(path)); }

std::optional<std::string> SimFiles::read(const std::string& path, std::size_t limit) {
    log_.add("ReadFile(" + path + ")");
    const auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second.substr(0, limit);
}

bool SimFiles::exists(const std::string& path) {
    log_.add("GetFileAttributesA(" + path + ")");
    return files_.contains(path);
}

bool SimFiles::write(const std::string& path, std::string_view bytes) {
    log_.add("WriteFile(" + path + ")");
    if (!writable(path)) return false;
    if (diskFull_) {
        // Opening for writing has already emptied the file when the first write fails.
        files_[path].clear();
        return false;
    }
    files_[path] = std::string(bytes);
    return true;
}

bool SimFiles::replace(const std::string& from, const std::string& to) {
    log_.add("MoveFileExA(" + from + ", " + to + ")");
    const auto source = files_.find(from);
    if (source == files_.end() || !writable(from) || !writable(to)) return false;
    if (moveFailsAfterDelete_) {
        // The 9x replace: the old file is deleted first, then the move fails.
        files_.erase(to);
        return false;
    }
    std::string bytes = std::move(source->second);
    files_.erase(source);
    files_[to] = std::move(bytes);
    return true;
}

void SimFiles::remove(const std::string& path) {
    log_.add("DeleteFileA(" + path + ")");
    if (writable(path)) files_.erase(path);
}

}  // namespace kestrove::sim
