#include "indicators/kept_description.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "indicators/description_elements.h"

namespace {

// Every kept piece begins with the '<' of a marker, and no marker holds a
// '<' after its first character, so no marker can form across the joint of
// two pieces: every marker in the kept text stands in the body too, in the
// same order.
constexpr bool AngleOnlyFirst(const char* marker)
{
    if (marker[0] != '<')
        return false;
    for (const char* c = marker + 1; *c; ++c) {
        if (*c == '<')
            return false;
    }
    return true;
}

constexpr bool EveryMarkerHasAngleOnlyFirst()
{
    for (const DescriptionElement& element : kDescriptionElements) {
        if (!AngleOnlyFirst(element.open) || !AngleOnlyFirst(element.close))
            return false;
    }
    return true;
}

static_assert(EveryMarkerHasAngleOnlyFirst(), "a marker could form across the joint of two kept pieces");

struct Piece {
    size_t begin;
    size_t end;
};

// The opening marker with the value up to the limit, and the closing marker;
// nothing when ExtractBetween finds nothing.
void AddElementPieces(std::string_view body, const DescriptionElement& element, std::vector<Piece>& pieces)
{
    const size_t open = body.find(element.open);
    if (open == std::string_view::npos)
        return;
    const size_t valueBegin = open + std::strlen(element.open);
    const size_t close = body.find(element.close, valueBegin);
    if (close == std::string_view::npos)
        return;
    pieces.push_back({open, std::min(close, valueBegin + kKeptValueLimit)});
    pieces.push_back({close, close + std::strlen(element.close)});
}

std::vector<Piece> MergedInBodyOrder(std::vector<Piece> pieces)
{
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.begin < b.begin; });
    std::vector<Piece> merged;
    for (const Piece& piece : pieces) {
        if (!merged.empty() && piece.begin <= merged.back().end)
            merged.back().end = std::max(merged.back().end, piece.end);
        else
            merged.push_back(piece);
    }
    return merged;
}

}  // namespace

std::string KeptDescription(std::string_view body)
{
    std::vector<Piece> pieces;
    for (const DescriptionElement& element : kDescriptionElements)
        AddElementPieces(body, element, pieces);
    const std::vector<Piece> merged = MergedInBodyOrder(std::move(pieces));
    size_t size = 0;
    for (const Piece& piece : merged)
        size += piece.end - piece.begin;
    std::string kept;
    kept.reserve(size);
    for (const Piece& piece : merged)
        kept.append(body.substr(piece.begin, piece.end - piece.begin));
    return kept;
}
