#include "authoring/diagnostics/errors.h"

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/diagnostics/explainer.h"
#include "authoring/diagnostics/record_kinds.h"
#include "authoring/route/route_names.h"
#include "authoring/text/english.h"

namespace binario::authoring {

namespace explanations {

std::string object_words(std::uint8_t tipo) {
  const std::string name = cell_kind_words(tipo);
  if (name.ends_with('s')) return name;
  return with_article(name);
}

std::string field_words(RecordKind kind, std::size_t i) {
  const KindInfo& info = kind_info(kind);
  return i < info.fields.size() ? std::string(info.fields[i].name) : "value";
}

std::pair<std::int64_t, std::int64_t> range_of(Storage storage) {
  switch (storage) {
    case Storage::kInt16:
      return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    case Storage::kUint8:
      return {0, 255};
    default:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  }
}

std::string Explainer::occupant(std::int64_t cell, std::vector<Note>& notes) const {
  if (cell < 0 || static_cast<std::size_t>(cell) >= state().celle.size()) return "nothing";
  const std::uint8_t tipo = state().celle[static_cast<std::size_t>(cell)].tipo;
  const int writer = r_.log().object_writer(cell);
  if (writer >= 0) {
    const LoggedRecord& record = r_.record(writer);
    notes.push_back(note_at(record, object_words(tipo) + " stands there, put by this '" +
                                        r_.keyword_shown(record) + "'"));
  }
  return object_words(tipo);
}

Explained Explainer::run(const std::string& errore) {
  const std::vector<LoggedCode>& codes = r_.log().codes();
  bool chainage = false;
  for (const LoggedCode& code : codes) {
    if (code.code == e::kReadFailure) {
      if (const auto& failure = r_.log().failure()) {
        read_failure(*failure);
      } else {
        Diagnostic& d =
            error(code.code, {code.file, 0, 0}, "the description file could not be read");
        d.whole_file = true;
        stopped(d, std::nullopt);
      }
    } else if (code.code == e::kChainageNotMultiple) {
      chainage = true;
    } else if (code.code == e::kNoPlaceBeforeSignal || code.code == e::kNoPlaceInApproachGroup ||
               code.code == e::kNoPlaceForRunMarker) {
      completion_code(code);
    } else if (code.record >= 0) {
      record_code(code, r_.record(code.record), code.record);
    } else if (const int id = general_record(code.code); id != kNoRecord) {
      record_code(code, r_.record(id), id);
    } else {
      general_code(code);
    }
  }
  if (chainage) chainage_codes();
  if (!errore.empty()) stamp_check(errore);
  return std::move(out_);
}

}  // namespace explanations

Explained explain_codes(const Reading& reading, const std::string& errore, bool real) {
  return explanations::Explainer(reading, real).run(errore);
}

}  // namespace binario::authoring
