#include "base/ReportText.h"

namespace quenk {

std::string ReportText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

}  // namespace quenk
