#pragma once

// What a write that waits for its reader needs of the console's requests to
// end: such a request must not wait behind the reader.

namespace platform {

// Readable while a request to end has arrived that the event loop has not
// read yet; -1 while no handler is set.
int TerminationSignalDescriptor();
// A request to end has arrived that no handler has run for yet (it may be
// held behind a blocking call).
bool TerminationSignalPending();

}  // namespace platform
