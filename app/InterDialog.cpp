#include "app/InterDialog.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "app/AboutDlg.h"
#include "app/BriskoApp.h"
#include "app/PageRegistry.h"
#include "app/PageSequence.h"
#include "platform/Compositing.h"
#include "platform/SessionLog.h"
#include "ui/PageFocus.h"

namespace vrx {
CInterDialog::CInterDialog(QWidget* frame)
    : QDialog(frame, Qt::Dialog | Qt::FramelessWindowHint),
      state_(std::make_unique<WizardState>()),
      port_(new MessagePort(this, [this](unsigned m, WPARAM w, LPARAM l) { OnMessage(m, w, l); })),
      probe_(discovery_, worker_, this, [this](ProbeVerdict v) { OnProbeVerdict(v); }),
      poller_(this, [this](DiskStatus status) { OnDiskStatus(status); }) {
  setWindowTitle(WizardTitle());
  setFixedSize(kWidth, kHeight);
  // The rounded corners are painted anti-aliased where the desktop shows per-pixel alpha, and cut out
  // of the window shape where it does not.
  if (PerPixelAlphaWindowsShown())
    setAttribute(Qt::WA_TranslucentBackground);
  else
    setMask(QRegion(RoundedOutline(size()).toFillPolygon().toPolygon()));
}

CInterDialog::~CInterDialog() {
  for (QPointer<QWidget>& slot : pages_) delete slot.data();
  // Pages dropped by a switch but not yet deleted go now too, while the discovery manager and the worker
  // their threads may use still exist.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
  poller_.Stop();
  probe_.Stop();
}

WindowHandle CInterDialog::PageHandle(int pageType) const {
  return pageType >= kFirstPageType && pageType <= kLastPageType ? pageHandles_[std::size_t(pageType - 1)] : 0;
}

void CInterDialog::PostToPage(int pageType, unsigned msg, WPARAM wParam, LPARAM lParam) const {
  if (const WindowHandle page = PageHandle(pageType)) PostMessage(page, msg, wParam, lParam);
}

void CInterDialog::StartProbe() {
  probeOutcome_.Begin();
  probe_.Restart(state_->recorderIp.toStdString(), state_->recorderMac.toStdString());
}

void CInterDialog::OnProbeVerdict(const ProbeVerdict& verdict) {
  probeOutcome_.Finish(verdict);
  // The failure stays in probeOutcome_ until the password page takes it; a page on screen hears of it now.
  if (verdict.unreachable) PostToPage(kPageNvrPassword, WM_WIZ_PROBEFAIL);
}

net::RecorderEndpoint CInterDialog::Recorder() const {
  return net::RecorderEndpoint(state_->recorderIp.toStdString(), state_->recorderMac.toStdString(),
                               state_->recorderHttpPort, state_->adminUser.toStdString(), state_->adminPassword.Copy());
}

void CInterDialog::ControlDiskPoller(bool start) {
  if (!start) return poller_.Stop();
  toldPorts_.reset();
  poller_.Start(Recorder());
}

void CInterDialog::OnDiskStatus(const DiskStatus& status) {
  diskStatus_ = status;
  // The disk page hears of the first pass and of every change of a ready or plugged flag.
  if (toldPorts_ == status.ports) return;
  toldPorts_ = status.ports;
  PostToPage(kPageHddFormat, WM_WIZ_DISKSTATUS, WPARAM(status.ports.ToMessage()));
}

QWidget* CInterDialog::currentPage() const {
  for (const QPointer<QWidget>& p : pages_)
    if (p) return p;
  return nullptr;
}

void CInterDialog::SetCloudAccount(const QString& email, net::Secret password) {
  state_->cloudEmail = email;
  state_->cloudPassword = std::move(password);
}

QString CInterDialog::CloudValue(int index) const {
  const bool kept = index >= 0 && index < int(cloudValues_.size()) && index != steps::kCloudModel;
  return kept ? cloudValues_[std::size_t(index)] : QString();
}

void CInterDialog::SetCloudValue(int index, const QString& value) {
  if (index >= 0 && index < int(cloudValues_.size()) && index != steps::kCloudModel)
    cloudValues_[std::size_t(index)] = value;
}

void CInterDialog::SetCloudValues(const steps::CloudValues& values) {
  for (int i = 0; i < steps::kCloudValueCount; ++i) SetCloudValue(i, values[std::size_t(i)]);
}

void CInterDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (initialised_) return;
  initialised_ = true;
  move(origin_);
  pageType_ = kFirstPageType;
  ShowPage(pageType_);
}

void CInterDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) setWindowTitle(WizardTitle());
}

void CInterDialog::DestroyPages() {
  for (auto& h : pageHandles_) h = 0;
  for (QPointer<QWidget>& slot : pages_) {  // slots 1..12 in order
    QWidget* old = slot;
    slot = nullptr;
    if (!old) continue;
    // The old page may still be on the call stack: a modal overlay of its own can post the navigation
    // and the nested loop handles it. Its message ports go now, so nothing more reaches the page; the
    // widget goes as soon as control is back in the loop that was running.
    qDeleteAll(old->findChildren<MessagePort*>(Qt::FindDirectChildrenOnly));
    old->hide();
    old->deleteLater();
  }
}

void CInterDialog::PreparePage(int type) {
  if (initialised_ || preparedPage_) return;
  const PageFactory factory = FindPageFactory(type);
  QWidget* page = factory ? factory(*this) : nullptr;
  if (!page) return;
  page->hide();  // stays hidden when the host is shown, until ShowPage shows it
  page->setGeometry(0, 0, kWidth, kHeight);
  page->ensurePolished();
  preparedPage_ = page;
  preparedType_ = type;
}

QWidget* CInterDialog::TakePreparedPage(int type) {
  QWidget* page = preparedPage_;
  if (page && preparedType_ != type) {
    page->deleteLater();
    page = nullptr;
  }
  preparedPage_ = nullptr;
  preparedType_ = 0;
  return page;
}

void CInterDialog::ShowPage(int type) {
  const int shown = PageSequence::DisplayedPage(type, CloudValue(steps::kCloudStatus), CloudValue(steps::kCloudAccess));
  if (shown == 0) return;
  const PageFactory factory = FindPageFactory(shown);
  if (!factory) return;
  if (QWidget* old = currentPage()) LogEvent("page", QStringLiteral("left %1").arg(old->metaObject()->className()).toStdString());
  DestroyPages();
  QWidget* page = TakePreparedPage(shown);
  if (!page) page = factory(*this);
  if (!page) return;
  LogEvent("page", QStringLiteral("entered %1 (page %2)").arg(page->metaObject()->className()).arg(shown).toStdString());
  pages_[std::size_t(shown - 1)] = page;
  // The page's own port (its first direct MessagePort child) receives the jobs' messages.
  if (auto* port = page->findChild<MessagePort*>(QString(), Qt::FindDirectChildrenOnly))
    pageHandles_[std::size_t(shown - 1)] = port->handle();
  page->setGeometry(0, 0, kWidth, kHeight);
  page->show();
  ui::EnterPage(this, page, windowTitle());
}

void CInterDialog::OnMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_WIZ_NAVIGATE: OnNavigate(int(wParam)); break;
    case WM_WIZ_MOVED: OnMoved(int(std::intptr_t(wParam)), int(lParam)); break;
    case WM_WIZ_PROBE: StartProbe(); break;
    case WM_WIZ_DISKPOLL: ControlDiskPoller(wParam == 0); break;
    default: break;
  }
}

void CInterDialog::SaveAnswers() const {
  const QString path = AnswersFile();
  if (path.isEmpty()) return;
  QString why;
  if (steps::WriteAnswerFile(path, state_->Road(), &why)) {
    LogEvent("answers", "the road taken written to " + path.toStdString());
    return;
  }
  // Asked for on the command line, so told there (in English, as the command line's other messages).
  LogEvent("answers", why.toStdString());
  std::fprintf(stderr, "vrx-setup-wizard: no answer file: %s\n", why.toLocal8Bit().constData());
}

void CInterDialog::OnNavigate(int navCode) {
  const NavStep step = PageSequence::Navigate(pageType_, navCode);
  switch (step.action) {
    case HostAction::ShowPage:
      pageType_ = step.pageType;
      ShowPage(pageType_);
      break;
    case HostAction::EndWizard:
      if (navCode == NAV_FINISH) SaveAnswers();
      accept();
      break;
    case HostAction::MinimizeFrame: PostMessage(frameHandle_, WM_WIZ_NAVIGATE, NAV_MINIMIZE); break;
    case HostAction::Ignore: break;
  }
}

void CInterDialog::OnMoved(int left, int top) {
  PostMessage(frameHandle_, WM_WIZ_MOVED, WPARAM(std::intptr_t(left)), LPARAM(top));
  move(left, top);
}

void CInterDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawPath(RoundedOutline(size()));
}

QPainterPath RoundedOutline(QSize size) {
  QPainterPath path;
  const qreal r = CInterDialog::kCornerEllipse / 2.0;
  path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), r, r);
  return path;
}

void CInterDialog::contextMenuEvent(QContextMenuEvent* event) { ShowAboutMenu(this, event->globalPos()); }

}  // namespace vrx
