#include "pages/recorder/NvrSearchModel.h"

namespace vrx {

std::vector<NvrRow> ListRecorders(const std::vector<net::DiscoveredDevice>& results) {
  std::vector<NvrRow> rows;
  for (const net::DiscoveredDevice& d : results) {
    if (!d.unique) continue;
    if (d.ModelName() != kRecorderModel) continue;
    const std::string ip = d.Ipv4Text();
    if (ip == "0.0.0.0") continue;
    rows.push_back({int(rows.size()) + 1, QString::fromStdString(ip), QString::fromStdString(d.MacText())});
  }
  return rows;
}

QString MacDisplayText(const QString& macOrEmpty) {
  if (macOrEmpty.isEmpty()) return QString(16, QLatin1Char('x'));
  QString text = macOrEmpty.toUpper();
  text.remove(QLatin1Char(':'));
  return text;
}

}  // namespace vrx
