// The body of a background request's worker thread: one HTTP request run from a RequestRecord.
#pragma once

#include "textutil/memory_file.h"

#include <atomic>

namespace murrel {

// Reads the record from the start of `file`, completes the header text with the program's
// defaults, runs the request, stores every cookie the response sets, and writes the record back:
// field 1 the body, field 2 the returned cookie text ("a=1;b=2;"), field 6 the raw response headers.
// When the request cannot be made, or is refused for its line breaks, or its body is too large,
// fields 1, 2 and 6 come back empty. Writes nothing when the file holds no record. Once `stop` is set
// the request ends as soon as libcurl lets it.
void Web_RequestWorker(MemoryFile& file, const std::atomic<bool>* stop = nullptr);

}  // namespace murrel
