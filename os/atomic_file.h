#pragma once

#include <string>
#include <string_view>

#include "os/file.h"

namespace os {

// What stands in the way of writing a whole new file at a native path.
enum class TargetProblem {
    none, // absent in an existing folder, or a regular file
    folder_missing, // the folder it would go in does not exist
    not_a_file, // it exists and is a folder, a device, a FIFO or a link to nowhere
};
TargetProblem target_problem(const std::string& path);

// The new contents of the file at a native path, written beside it under the hidden
// name ".NAME.melodrift-XXXXXX.part" and renamed over it by commit(), so that the path
// holds either the old contents or the complete new ones, also after a full disk, a
// crash or a kill (which leave at most the temporary file). A symbolic link at the path
// is followed: the file it names is replaced and the link stays. An existing file keeps
// its permissions. Unless committed, the temporary file is removed when this ends;
// nothing else is ever removed. A path with a target_problem() is not opened.
class ReplacingFile : public File {
public:
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile() override;

    // Brings the bytes to the medium and renames them into place. False, with the
    // temporary file removed and the old file untouched, when any write or step failed.
    bool commit();

    // Where the bytes go until commit(); empty when no temporary file exists.
    const std::string& temporary_path() const { return temporary_; }

private:
    void discard();

    std::string target_;
    std::string temporary_;
};

// Replaces the file at a native path with bytes through a ReplacingFile. False, with
// the old file untouched, on any failure.
bool replace_file(const std::string& path, std::string_view bytes);

} // namespace os
