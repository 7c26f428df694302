#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "http_request.h"
#include "indicator.h"

namespace sim {

struct SiteOptions {
    std::string device_type;
    bool no_body = false;       // description answer without the empty line
    bool hostile_name = false;  // the description names the indicator kHostileName
    bool nested = false;        // the description's elements stand each inside the one before
    size_t filler_bytes = 0;    // every body goes on with this much filler
};

struct SiteAnswer {
    int status = 200;
    std::string bytes;  // the HTTP response up to the end of the body
    size_t filler = 0;  // bytes of FillerBlock() text that follow, counted in Content-Length
};

// The indicator's small web server: description, /ping, /, /backup.html.
// request is nullopt when the request line could not be read.
SiteAnswer AnswerRequest(const std::optional<HttpRequest>& request, const Indicator& indicator,
                         const SiteOptions& options);

}  // namespace sim
