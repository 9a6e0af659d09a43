#include "link/answer_recognisers.h"

namespace hx350 {

namespace {

constexpr QueryFlags flagsOf(QueryFlag a) {
    QueryFlags flags;
    flags.set(a);
    return flags;
}

constexpr QueryFlags flagsOf(QueryFlag a, QueryFlag b) {
    QueryFlags flags;
    flags.set(a);
    flags.set(b);
    return flags;
}

// The character at 1-based position `pos` (the caller keeps pos within the batch).
unsigned char at(std::string_view s, std::size_t pos) {
    return static_cast<unsigned char>(s[pos - 1]);
}

}  // namespace

AnswerScan scanAnswer(std::string_view batch, AnswerRule rule, std::size_t limit) {
    const std::size_t len = batch.size();
    auto running = [&](std::size_t pos) { return pos < limit && pos <= len; };

    // The echoed command ends at the first CR or LF; its first character is never taken for one.
    std::size_t pos = 2;
    while (running(pos) && at(batch, pos) != '\r' && at(batch, pos) != '\n')
        ++pos;
    if (pos >= limit) return {};

    if (rule == AnswerRule::ValueLine) {
        while (running(pos) && at(batch, pos) < 0x20)
            ++pos;
        if (pos >= limit) return {};
    } else {
        ++pos;
        while (running(pos) && at(batch, pos) != '"' && at(batch, pos) != ':')
            ++pos;
        if (pos >= limit) return {};
        if (pos <= len && at(batch, pos) == ':') {
            ++pos;
            if (pos <= len && at(batch, pos) == ' ') ++pos;
        }
    }

    AnswerScan scan;
    scan.within_limit = true;
    // The value runs up to the character before the last one of the batch and must be closed by a CR.
    if (pos < len) {
        const std::string_view rest = batch.substr(pos - 1, len - pos);
        const std::size_t cr = rest.find('\r');
        if (cr != std::string_view::npos) scan.value = std::string(rest.substr(0, cr));
    }
    return scan;
}

const std::array<AnswerRecogniser, 6>& answerRecognisers() {
    // The clock query and the start-up listing-mode setting share one recogniser and one store: whichever
    // of the two was armed, an answer disarms both.
    static constexpr std::array<AnswerRecogniser, 6> kTable{{
        {flagsOf(QueryFlag::Manufacturer), AnswerRule::ValueLine, 250, AnswerStore::Manufacturer,
         DisarmWhen::ValueFound},
        {flagsOf(QueryFlag::Model), AnswerRule::ValueLine, 250, AnswerStore::Model, DisarmWhen::WithinLimit},
        {flagsOf(QueryFlag::CharacterSet), AnswerRule::Colon, 254, AnswerStore::None,
         DisarmWhen::WithinLimit},
        {flagsOf(QueryFlag::DateTime, QueryFlag::ListingMode), AnswerRule::Colon, 250, AnswerStore::DateTime,
         DisarmWhen::WithinLimit},
        {flagsOf(QueryFlag::MessageFormat), AnswerRule::ValueLine, 250, AnswerStore::None,
         DisarmWhen::WithinLimit},
        {flagsOf(QueryFlag::ErrorReport), AnswerRule::ValueLine, 250, AnswerStore::None,
         DisarmWhen::WithinLimit},
    }};
    return kTable;
}

void runAnswerRecognisers(std::string_view batch, QueryFlags& flags, QueryValues& values) {
    static constexpr QueryFlag kAll[] = {
        QueryFlag::Manufacturer, QueryFlag::Model,         QueryFlag::CharacterSet, QueryFlag::DateTime,
        QueryFlag::ListingMode,  QueryFlag::MessageFormat, QueryFlag::ErrorReport};
    for (const AnswerRecogniser& row : answerRecognisers()) {
        bool armed = false;
        for (QueryFlag flag : kAll)
            armed = armed || (row.armed_by.has(flag) && flags.has(flag));
        if (!armed) continue;

        const AnswerScan scan = scanAnswer(batch, row.rule, row.limit);
        if (!scan.value.empty()) {
            switch (row.store) {
                case AnswerStore::Manufacturer:
                    values.manufacturer = scan.value;
                    break;
                case AnswerStore::Model:
                    values.model = scan.value;
                    break;
                case AnswerStore::DateTime:
                    values.date_time = scan.value;
                    break;
                case AnswerStore::None:
                    break;
            }
        }
        const bool disarm = row.disarm == DisarmWhen::ValueFound ? !scan.value.empty() : scan.within_limit;
        if (disarm) {
            for (QueryFlag flag : kAll) {
                if (row.armed_by.has(flag)) flags.clear(flag);
            }
        }
    }
}

}  // namespace hx350
