#pragma once

#include <optional>
#include <string>

#include "http_request.h"
#include "indicator.h"

namespace sim {

struct SiteOptions {
    std::string device_type;
    bool no_body = false;  // description answer without the empty line
};

struct SiteAnswer {
    int status = 200;
    std::string bytes;  // the whole HTTP response
};

// The indicator's small web server: description, /ping, /, /backup.html.
// request is nullopt when the request line could not be read.
SiteAnswer AnswerRequest(const std::optional<HttpRequest>& request, const Indicator& indicator,
                         const SiteOptions& options);

}  // namespace sim
