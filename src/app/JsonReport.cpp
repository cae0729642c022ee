#include "app/JsonReport.h"

#include "engine/Delete.h"

#include <nlohmann/json.hpp>

namespace quenk {

std::string FormatJsonReport(const RunReport& report,
                             const std::function<std::string(const std::string&)>& toUtf8) {
  using nlohmann::ordered_json;
  const auto text = [&toUtf8](const std::string& ansi) -> ordered_json { return toUtf8(ansi); };
  const auto orNull = [&text](const std::string& ansi) -> ordered_json {
    return ansi.empty() ? ordered_json(nullptr) : text(ansi);
  };
  ordered_json doc;
  doc["schema"] = kJsonSchema;
  doc["program"] = "Quenk";
  doc["version"] = text(report.version);
  doc["machine"] = text(report.machine);
  doc["stamp"] = text(report.stamp);
  doc["mode"] = report.mode;
  doc["items"] = ordered_json::array();
  for (const auto& item : report.items) doc["items"].push_back(text(item));
  doc["exitCode"] = report.exitCode;
  doc["logFile"] = orNull(report.logFile);
  doc["backup"] = orNull(report.backup);
  doc["restartNeeded"] = report.restartNeeded;
  for (const auto& list : report.lists) {
    ordered_json entries = ordered_json::array();
    for (const auto& e : list.entries) {
      ordered_json entry{{"kind", e.kind}, {"path", text(e.path)}};
      if (e.reason) entry["reason"] = text(*e.reason);
      entries.push_back(std::move(entry));
    }
    doc[list.name] = std::move(entries);
  }
  // A conversion that went wrong still gives valid JSON: U+FFFD for the byte.
  return doc.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

bool GoneAfterRestart(std::string_view reason) {
  return reason == "in use" || reason == "in use by another program" ||
         reason == engine::kMarkedForDeletion;
}

}  // namespace quenk
