#include "steps/answers/AnswerFileWriter.h"

#include <cstring>

#include "net/DiscoveryProtocol.h"
#include "net/PeerText.h"
#include "steps/ReplaceFile.h"

namespace vrx::steps {

namespace {

// A TOML basic string: the text between double quotes, with the quote, the backslash and every control
// character escaped (the texts come from peers and the user; they are cleaned already, this is the file's rule).
QByteArray Quoted(const QString& text) {
  QByteArray out = "\"";
  for (const char c : text.toUtf8()) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7f) {
      out += QByteArray("\\u00") + QByteArray::number(u, 16).rightJustified(2, '0');
    } else {
      out += c;
    }
  }
  return out + '"';
}

QByteArray Line(const char* key, const QByteArray& value, const char* indent = "") {
  return QByteArray(indent) + key + " = " + value + '\n';
}

bool Fail(QString* why, const QString& text) {
  if (why) *why = text;
  return false;
}

}  // namespace

QString CameraPasswordEnv(int number) { return QStringLiteral("CAM%1_PW").arg(number); }

QByteArray AnswerFileText(const RoadAnswers& road) {
  const auto mac = net::ParseMacText(road.mac.toStdString());
  if (!mac) return {};
  QByteArray text;
  text += "# The road taken in vrx-setup-wizard, as an answer file for vrx-provision:\n"
          "#   vrx-provision plan FILE, then vrx-provision apply FILE --allow-format\n"
          "# It holds no password. Before a run, set the environment variables it names (or change an *_env key\n"
          "# into *_file, a file only you can read). For another recorder, change its mac and its cameras.\n";
  text += "version = 1\n\n[[recorder]]\n";
  text += Line("mac", Quoted(QString::fromStdString(net::FormatMac(mac->data()))));
  text += Line("admin_password_env", Quoted(QLatin1String(kAdminPasswordEnv)));
  if (road.timeZone > 0)
    text += Line("time_zone_number", QByteArray::number(road.timeZone));
  else
    text += "# No time zone was set: give time_zone or time_zone_number.\n";
  text += Line("shortcut", road.shortcut ? "true" : "false");

  for (const FormattedDisk& disk : road.formattedDisks) {
    if (disk.model.isEmpty()) {
      text += "\n  # HD" + QByteArray::number(disk.bay) + " was formatted, but the recorder did not name its model.\n";
      continue;
    }
    text += "\n  [[recorder.disk]]\n";
    text += Line("bay", QByteArray::number(disk.bay), "  ");
    text += Line("model", Quoted(disk.model), "  ");
    if (disk.sizeMb > 0) text += Line("size_mb", QByteArray::number(disk.sizeMb), "  ");
    text += Line("format", "true", "  ");
  }

  int number = 0;
  for (const RoadAnswers::Camera& camera : road.cameras) {
    if (!net::IsDeviceAddress(camera.address.toStdString())) continue;  // none the wizard would have added
    const QByteArray env = Quoted(CameraPasswordEnv(++number));
    text += "\n  [[recorder.camera]]\n";
    text += Line("address", Quoted(camera.address), "  ");
    if (camera.created) {
      text += "  create = true  # it was in its factory state: this password became its first\n";
      text += Line("new_password_env", env, "  ");
    } else {
      text += Line("password_env", env, "  ");
    }
  }

  text += "\n  [recorder.cloud]\n";
  if (road.cloudEmail.isEmpty()) {
    text += Line("mode", Quoted(QStringLiteral("skip")), "  ");
  } else {
    // Signed up or in: the account exists now, so a replay signs in to it.
    text += Line("mode", Quoted(QStringLiteral("sign_in")), "  ");
    text += Line("email", Quoted(road.cloudEmail), "  ");
    text += Line("password_env", Quoted(QLatin1String(kCloudPasswordEnv)), "  ");
  }
  return text;
}

bool WriteAnswerFile(const QString& path, const RoadAnswers& road, QString* why) {
  const QByteArray text = AnswerFileText(road);
  if (text.isEmpty()) return Fail(why, QStringLiteral("the recorder's MAC is not one an answer file can name"));
  if (const int error = ReplaceFile(path, text, 0600))
    return Fail(why, QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))));
  return true;
}

}  // namespace vrx::steps
