// local_stream.h -- standard input and output where the library wants a file: a transfer from or
// to "-" goes through a temporary file of this computer's temporary folder, which goes again
// however the run ends (done, failed, interrupted or out of time).
#ifndef ZK_TOOLS_ZKNET_LOCAL_STREAM_H
#define ZK_TOOLS_ZKNET_LOCAL_STREAM_H

#include <string>

// One temporary file at a time; the destructor removes it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile();

    // Makes an empty file; false with the reason in *why.
    bool Create(std::string *why);
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// Removes the temporary file there is, if any: for the ends of a run that skip destructors
// (--timeout, an interrupt). Safe to call from a signal handler.
void RemoveTemporaryFileNow();

// Standard input copied into the file, byte for byte; false with the reason in *why.
bool SaveStandardInput(const std::string &path, std::string *why);
// The file copied to standard output, byte for byte; false with the reason in *why. The file is
// gone afterwards (a reader that stops early ends the tool on some systems, mid-copy).
bool SendToStandardOutput(const std::string &path, std::string *why);

#endif  // ZK_TOOLS_ZKNET_LOCAL_STREAM_H
