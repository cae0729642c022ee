#pragma once

// A checker of the documented report schema (README, "The JSON report"),
// shared by the unit and the end-to-end tests.

#include <nlohmann/json.hpp>

#include <set>
#include <string>
#include <vector>

namespace quenk::schema {

// Every way `doc` departs from schema 1; empty when it follows it.
inline std::vector<std::string> Problems(const nlohmann::json& doc) {
  std::vector<std::string> problems;
  const auto bad = [&problems](const std::string& what) { problems.push_back(what); };
  if (!doc.is_object()) return {"not an object"};
  const auto lists = [&doc]() -> std::pair<std::string, std::string> {
    const std::string mode = doc.value("mode", "");
    if (mode == "clean") return {"deleted", "notDeleted"};
    if (mode == "preview") return {"willBeDeleted", "willStay"};
    if (mode == "restore") return {"restored", "notRestored"};
    return {};
  }();
  if (lists.first.empty()) bad("mode is not clean, preview or restore");
  std::set<std::string> keys{"schema",        "program",   "version",   "machine", "stamp",
                             "mode",          "items",     "exitCode",  "logFile", "backup",
                             "restartNeeded", lists.first, lists.second};
  for (const auto& [key, value] : doc.items())
    if (!keys.count(key)) bad("unknown key " + key);
  for (const auto& key : keys)
    if (!key.empty() && !doc.contains(key)) bad("missing " + key);
  if (!problems.empty()) return problems;

  if (doc["schema"] != 1) bad("schema is not 1");
  if (doc["program"] != "Quenk") bad("program is not Quenk");
  for (const char* key : {"version", "machine", "stamp"})
    if (!doc[key].is_string() || doc[key].get<std::string>().empty())
      bad(std::string(key) + " is not a text");
  if (!doc["exitCode"].is_number_integer() || doc["exitCode"] < 0 || doc["exitCode"] > 4)
    bad("exitCode is not 0 to 4");
  if (!doc["restartNeeded"].is_boolean()) bad("restartNeeded is not true or false");
  for (const char* key : {"logFile", "backup"})
    if (!doc[key].is_null() && !doc[key].is_string())
      bad(std::string(key) + " is not text or null");
  if (!doc["items"].is_array()) bad("items is not a list");
  for (const auto& item : doc["items"])
    if (!item.is_string()) bad("an item is not a text");
  static const std::set<std::string> kinds{"file", "folder", "key", "value", "service", "package"};
  for (const auto& [list, stayed] : {std::pair{lists.first, false}, {lists.second, true}}) {
    if (!doc[list].is_array()) {
      bad(list + " is not a list");
      continue;
    }
    for (const auto& entry : doc[list]) {
      if (!entry.is_object() || !entry.contains("kind") || !entry.contains("path") ||
          entry.size() != (stayed ? 3u : 2u) || (stayed && !entry.contains("reason"))) {
        bad(list + ": an entry is not kind, path" + (stayed ? ", reason" : "") + ": " +
            entry.dump());
        continue;
      }
      if (!entry["kind"].is_string() || !kinds.count(entry["kind"].get<std::string>()))
        bad(list + ": unknown kind " + entry["kind"].dump());
      if (!entry["path"].is_string() || entry["path"].get<std::string>().empty())
        bad(list + ": a path is not a text");
      if (stayed && !entry["reason"].is_string()) bad(list + ": a reason is not a text");
    }
  }
  return problems;
}

}  // namespace quenk::schema
