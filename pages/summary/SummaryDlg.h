#pragma once
// Page type 12, the last page: what was set up (the recorder's admin password, the cloud account, the added
// cameras) on one of four panels, "GO TO NVR" to open the recorder's web interface in the default browser,
// and FINISH, which leaves the desktop launcher and ends the wizard. There is no Back.

#include <QString>
#include <QStringList>
#include <QWidget>

#include "pages/common/WizardPage.h"
#include "pages/summary/SummaryRules.h"

namespace vrx {

// The summary panel: the NVR section, then the kelvaro and camera sections where its variant has them. Its
// object name is the variant's class name (CSummaryTable, CSummaryTable2, 3 or 4).
class CSummaryTable : public QWidget {
  Q_OBJECT
 public:
  struct Values {
    QString adminPassword, cloudEmail, cloudPassword;
    QStringList cameraModels;  // the added cameras, in list order
  };
  CSummaryTable(QWidget* parent, summary::Panel panel, const Values& values);
  summary::Panel panel() const { return panel_; }
  // The section headings drawn, in order ("NVR", "kelvaro", "Cameras" in the current language).
  QStringList headings() const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  summary::Panel panel_;
  Values values_;
};

class CSummaryDlg : public CWizardPage {
  Q_OBJECT
 public:
  static constexpr int kPageType = kPageSummary;
  static constexpr int kCmdFinish = 1026;
  static constexpr int kCmdGoToNvr = 1027;

  explicit CSummaryDlg(CInterDialog& host);

  CSummaryTable* table() const { return table_; }
  // Where FINISH puts the launcher (the desktop folder; tests point it elsewhere through HOME).
  QString recorderAddress() const { return recorderIp_; }

 protected:
  void OnCommand(int commandId) override;

 private:
  void Finish();
  void OpenRecorderInBrowser();

  QString recorderIp_;
  QString cloudSupported_, portalHost_, deviceNumber_, recorderLink_;
  CSummaryTable* table_ = nullptr;
};

}  // namespace vrx
