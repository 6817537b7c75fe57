// The cloud page against the simulated recorder and kelvaro service: sign-in and sign-up that end with the
// recorder bound and registered, the service's errors beside their rows, the service down, a bind reply that
// does not name the recorder, the checks made before anything is sent, skip, and when the page is not shown;
// and the page as a screen reader and the keyboard meet it: the choices one radio group, the terms a check box,
// the sign-up form announced, each error on its field (description, alert, focus), the Tab order.
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "KelvaroPageFixture.h"
#include "i18n/LangString.h"
#include "pages/summary/SummaryDlg.h"
#include "ui/Alerts.h"
#include "ui/Links.h"
#include "pages/intro/IntroOverlays.h"

using namespace vrx;
using namespace cloudtest;
using vrx::test::SimProcess;
using Page = CKelvaroServiceDlg;

namespace {

int IndexOf(const QStringList& requests, const QString& prefix) {
  for (int i = 0; i < requests.size(); ++i)
    if (requests[i].startsWith(prefix)) return i;
  return -1;
}

}  // namespace

class KelvaroPageTest : public QObject {
  Q_OBJECT

  vrx::test::EventLog events_;  // before any page is made: it must see their events
  CloudPageRig rig_;

  static QAccessibleInterface* Node(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

  // An alert was raised whose name carries text (since the log was last cleared).
  bool Alerted(const QString& text) const {
    for (const auto& e : events_.entries())
      if (e.type == QAccessible::Alert && e.texts.join(' ').contains(text)) return true;
    return false;
  }

  // The field in error: it has the focus and describes itself with the error.
  void ExpectFieldInError(Page::Entry entry, const QString& error) {
    QWidget* field = rig_.page->entry(entry);
    QTRY_COMPARE(field->window()->focusWidget(), field);  // the focus it has, or gets back with the window
    QVERIFY2(Node(field)->text(QAccessible::Description).contains(error),
             qPrintable(Node(field)->text(QAccessible::Description)));
    QVERIFY2(Alerted(error), "the error is raised as an alert");
  }

  nlohmann::json RecorderCloud() const { return rig_.sim->state()["recorder"]["cloud"]; }
  nlohmann::json Bindings() const { return rig_.sim->state()["kelvaro"]["bindings"]; }

  // Clicks Next and answers the network failure popup if one comes; its message, or "" when none came.
  QString NextAndCatchFailure() {
    QString message;
    QTimer watch;  // looks for the popup from inside the click's modal loops, and only during this click
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, [&] {
      if (auto* popup = vrx::test::VisiblePopup<ui::CErrorPage>()) {
        message = popup->message();
        popup->closeButton()->click();
      }
    });
    watch.start();
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    return message;
  }

  void ExpectStillOnPage() {
    QCOMPARE(rig_.host->pageType(), int(kPageCloudService));
    QCOMPARE(rig_.host->currentPage(), static_cast<QWidget*>(rig_.page));
  }

 private slots:
  void initTestCase() { vrx::test::UseLanguage(0); }

  void cleanup() { rig_.Close(); }

  void signInBindsTheRecorder() {
    OpenCloudPage(rig_);
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_COMPARE(rig_.host->pageType(), int(kPageSummary));
    QCOMPARE(rig_.host->GetCloudEmail(), QString(kOwner));
    QCOMPARE(rig_.host->GetCloudPassword().View(), std::string_view(kOwnerPassword));
    const nlohmann::json cloud = RecorderCloud();
    QCOMPARE(cloud["registered"].get<bool>(), true);
    QCOMPARE(cloud["email"].get<std::string>(), std::string(kOwner));
    QCOMPARE(cloud["password"].get<std::string>(), std::string(kOwnerPassword));
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string(kOwner));
    // In this order: sign-in, bind, registration status, account info.
    const QStringList requests = rig_.Requests("");
    const int signIn = IndexOf(requests, "POST /account/?signin"), bind = IndexOf(requests, "POST /account/?add"),
              status = IndexOf(requests, "GET /config/kelvaroregstatus?status=1"),
              info = IndexOf(requests, "GET /config/kelvaroreginfo?email=owner%40kelvaro.test&password=kelvaro1&status=1");
    QVERIFY2(signIn >= 0 && signIn < bind && bind < status && status < info, qPrintable(requests.join('\n')));
  }

  void signUpCreatesTheAccountAndBinds() {
    OpenCloudPage(rig_);
    SignUpForm(rig_.page, "lin@kelvaro.test", "Secret99", "Secret99");
    AcceptTerms(rig_.page);
    QCOMPARE(NextAndCatchFailure(), QString());

    QTRY_VERIFY2(rig_.host->pageType() == kPageSummary, qPrintable(rig_.Requests("").join('\n')));
    QCOMPARE(rig_.host->GetCloudEmail(), QString("lin@kelvaro.test"));
    const nlohmann::json state = rig_.sim->state();
    bool created = false;
    for (const auto& a : state["kelvaro"]["accounts"])
      created |= a["email"] == "lin@kelvaro.test" && a["password"] == "Secret99" && a["first_name"] == "Lin" &&
                 a["last_name"] == "Park";
    QVERIFY(created);
    QCOMPARE(Bindings()[kPortalNumber].get<std::string>(), std::string("lin@kelvaro.test"));
    QCOMPARE(state["recorder"]["cloud"]["registered"].get<bool>(), true);
    QCOMPARE(state["recorder"]["cloud"]["email"].get<std::string>(), std::string("lin@kelvaro.test"));
    // After the binding the recorder is also told the account directly.
    const QStringList requests = rig_.Requests("");
    QVERIFY(IndexOf(requests, "POST /signin") >= 0);
    QVERIFY2(IndexOf(requests, "GET /config/kelvaroreginfo?status=1&email=lin%40kelvaro.test&password=Secret99") >
                 IndexOf(requests, "GET /config/kelvaroreginfo?email="),
             qPrintable(requests.join('\n')));
  }

  void serviceErrorsShowBesideTheirRow_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("onPasswordRow");
    // A sign-in's error stands beside the e-mail, whatever its word.
    QTest::newRow("sign-in, wrong password") << int(kelvaro::kSignIn) << kOwner << "wrong-one" << "SIGNINERR003" << false;
    QTest::newRow("sign-in, no such account") << int(kelvaro::kSignIn) << "nobody@kelvaro.test" << "whatever1"
                                              << "SIGNINERR002" << false;
    QTest::newRow("sign-up, address taken") << int(kelvaro::kSignUp) << kOwner << "Secret99" << "SIGNUPERR001" << false;
    QTest::newRow("sign-up, password too short") << int(kelvaro::kSignUp) << "new@kelvaro.test" << "abc"
                                                 << "SIGNUPERR002" << true;
  }
  void serviceErrorsShowBesideTheirRow() {
    QFETCH(int, choice);
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QString, word);
    QFETCH(bool, onPasswordRow);
    OpenCloudPage(rig_);
    if (choice == kelvaro::kSignUp) {
      SignUpForm(rig_.page, email, password, password);
      AcceptTerms(rig_.page);
    } else {
      Type(rig_.page, Page::kEmail, email);
      Type(rig_.page, Page::kPassword, password);
    }
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    const QString shown = onPasswordRow ? rig_.page->passwordError() : rig_.page->emailError();
    QVERIFY2(shown.contains(word), qPrintable(shown));
    QCOMPARE(rig_.page->rowMarked(Page::kPassword), onPasswordRow);
    QCOMPARE(rig_.page->rowMarked(Page::kEmail), !onPasswordRow);
    ExpectFieldInError(onPasswordRow ? Page::kPassword : Page::kEmail, word);
    // A failed attempt keeps what the user chose and typed.
    QCOMPARE(rig_.page->choice(), choice);
    QCOMPARE(rig_.page->entry(Page::kEmail)->text(), email);
    QCOMPARE(rig_.page->entry(Page::kPassword)->text(), password);
    if (choice == kelvaro::kSignUp) QVERIFY(rig_.page->termsAccepted() && rig_.page->nextButton()->isEnabled());
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
  }

  void serviceDownIsANetworkFailure() {
    OpenCloudPage(rig_);
    QVERIFY(rig_.sim->setCloudDown(true));
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString("Check Network Failed!"));

    ExpectStillOnPage();
    QCOMPARE(rig_.page->entry(Page::kEmail)->text(), QString(kOwner));
    QCOMPARE(rig_.page->entry(Page::kPassword)->text(), QString(kOwnerPassword));
    QCOMPARE(rig_.page->choice(), int(kelvaro::kSignIn));
    QVERIFY(rig_.page->nextButton()->isEnabled());
    QCOMPARE(rig_.host->GetCloudEmail(), QString());
  }

  void bindReplyNotNamingTheRecorderStops() {
    OpenCloudPage(rig_, /*bindOmitsDevice*/ true);
    Type(rig_.page, Page::kEmail, kOwner);
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    QCOMPARE(NextAndCatchFailure(), QString());

    ExpectStillOnPage();
    QCOMPARE(rig_.page->emailError(), QString("success: device added to owner@kelvaro.test"));
    QCOMPARE(RecorderCloud()["registered"].get<bool>(), false);
    QCOMPARE(IndexOf(rig_.Requests(""), "GET /config/kelvaroregstatus"), -1);
    QCOMPARE(rig_.host->GetCloudEmail(), QString());
  }

  // Nothing is sent while the address is malformed, the passwords differ or the terms are not accepted.
  void checksBeforeSending() {
    OpenCloudPage(rig_);
    Type(rig_.page, Page::kEmail, "owner@kelvaro");
    Type(rig_.page, Page::kPassword, kOwnerPassword);
    events_.clear();
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    // Both error texts say it; only the e-mail row is marked.
    QCOMPARE(rig_.page->emailError(), QString("Error: Invalid Email address!"));
    QCOMPARE(rig_.page->passwordError(), QString("Error: Invalid Email address!"));
    QVERIFY(rig_.page->rowMarked(Page::kEmail) && !rig_.page->rowMarked(Page::kPassword));
    ExpectFieldInError(Page::kEmail, "Error: Invalid Email address!");

    SignUpForm(rig_.page, "new@kelvaro.test", "Secret99", "Secret98");
    QVERIFY2(rig_.page->emailError().isEmpty(), "a new choice starts clean");
    QVERIFY(!rig_.page->nextButton()->isEnabled());
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);  // disabled: nothing happens
    AcceptTerms(rig_.page);
    QVERIFY(rig_.page->nextButton()->isEnabled());
    events_.clear();
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QCOMPARE(rig_.page->passwordError(), QString("Error: The passwords doesn't match!"));
    QCOMPARE(rig_.page->emailError(), QString("Error: The passwords doesn't match!"));
    QVERIFY(rig_.page->rowMarked(Page::kPassword) && rig_.page->rowMarked(Page::kConfirm));
    QVERIFY(!rig_.page->rowMarked(Page::kEmail));
    ExpectFieldInError(Page::kPassword, "Error: The passwords doesn't match!");
    QVERIFY(Node(rig_.page->entry(Page::kConfirm))->text(QAccessible::Description).contains("match"));
    QTest::mouseClick(rig_.page->termsBox(), Qt::LeftButton);
    QTRY_VERIFY(!rig_.page->nextButton()->isEnabled());

    ExpectStillOnPage();
    QCOMPARE(rig_.Requests("").filter("signin").size() + rig_.Requests("").filter("account").size(), 0);
  }

  // An error that appears as its field is left is spoken, not only shown.
  void errorShownOnLeavingIsSpoken() {
    OpenCloudPage(rig_);
    Type(rig_.page, Page::kEmail, "owner@");
    events_.clear();
    rig_.page->entry(Page::kPassword)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(rig_.page->emailError(), QString("Error: Invalid Email address!"));
    QVERIFY(events_.spoken("Error: Invalid Email address!"));
  }

  void skipEmptiesAccessAndMovesOn() {
    OpenCloudPage(rig_);
    Choose(rig_.page, kelvaro::kSkip);
    QVERIFY(!rig_.page->entry(Page::kEmail)->isVisibleTo(rig_.page));
    QTest::mouseClick(rig_.page->nextButton(), Qt::LeftButton);
    QTRY_COMPARE(rig_.host->pageType(), int(kPageSummary));
    QCOMPARE(rig_.host->CloudValue(steps::kCloudAccess), QString());
    QVERIFY(rig_.Requests("").filter("kelvaro").isEmpty());
  }

  // The three choices are one radio group: each a radio button whose checked state follows the choice, the arrow
  // keys move the choice within the group, and choosing sign-up says that its form appeared. The terms box is a
  // check box that Space ticks.
  void choicesAreARadioGroupAndTheTermsACheckBox() {
    rig_.host = std::make_unique<CInterDialog>();
    rig_.page = ShowCloudPage(*rig_.host);
    QVERIFY(rig_.page);
    const auto expectChecked = [this](int choice) {
      for (int c = 1; c <= 3; ++c) {
        QAccessibleInterface* radio = Node(rig_.page->choiceButton(c));
        QCOMPARE(radio->role(), QAccessible::RadioButton);
        QVERIFY(radio->state().checkable);
        QCOMPARE(bool(radio->state().checked), c == choice);
        QVERIFY(!radio->text(QAccessible::Name).isEmpty());
      }
      QCOMPARE(rig_.page->choice(), choice);
    };
    expectChecked(kelvaro::kSignIn);

    rig_.page->choiceButton(kelvaro::kSignIn)->setFocus(Qt::TabFocusReason);
    events_.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTRY_COMPARE(QApplication::focusWidget(), rig_.page->choiceButton(kelvaro::kSignUp));
    expectChecked(kelvaro::kSignUp);
    QVERIFY(events_.any(QAccessible::StateChanged, rig_.page->choiceButton(kelvaro::kSignUp)));
    QVERIFY2(Alerted("Sign-up form shown"), "the five new entries are announced");
    QVERIFY(rig_.page->entry(Page::kLastName)->isVisible());

    QAccessibleInterface* terms = Node(rig_.page->termsBox());
    QCOMPARE(terms->role(), QAccessible::CheckBox);
    QVERIFY(!terms->state().checked);
    rig_.page->termsBox()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rig_.page->termsBox(), Qt::Key_Space);
    QTRY_VERIFY(rig_.page->termsAccepted());
    QVERIFY(Node(rig_.page->termsBox())->state().checked);
    QVERIFY(rig_.page->nextButton()->isEnabled());

    rig_.page->choiceButton(kelvaro::kSignUp)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rig_.page->choiceButton(kelvaro::kSignUp), Qt::Key_Down);
    expectChecked(kelvaro::kSkip);
    QTest::keyClick(rig_.page->choiceButton(kelvaro::kSkip), Qt::Key_Up);
    QTest::keyClick(rig_.page->choiceButton(kelvaro::kSignUp), Qt::Key_Up);
    expectChecked(kelvaro::kSignIn);
  }

  // The terms link opens the agreement, whose text a reader finds by its name.
  void termsLinkOpensTheNamedAgreement() {
    rig_.host = std::make_unique<CInterDialog>();
    rig_.page = ShowCloudPage(*rig_.host);
    Choose(rig_.page, kelvaro::kSignUp);
    QString name;
    vrx::test::WhenShown<CTermPage>([&name](CTermPage* popup) {
      name = Node(popup->textBox())->text(QAccessible::Name);
      popup->reject();
    });
    rig_.page->termsLink()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(rig_.page->termsLink(), Qt::Key_Space);
    QTRY_COMPARE(name, QString("End User License Agreement"));
  }

  // Tab runs through the form in reading order before the navigation, for each choice.
  void tabReadsTheFormBeforeTheNavigation_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("order");
    const QStringList tail{"BACK", "NEXT"};
    QTest::newRow("sign in") << int(kelvaro::kSignIn) << QStringList{"I already", "Email", "Password"} + tail;
    // NEXT waits for the terms here, so Tab passes it by.
    QTest::newRow("sign up") << int(kelvaro::kSignUp)
                             << QStringList{"I want", "Email", "Password", "Confirm Password", "First Name",
                                            "Last Name", "I have read", "Terms and", "BACK", "Minimise"};
    QTest::newRow("skip") << int(kelvaro::kSkip) << QStringList{"I don't want"} + tail;
  }
  void tabReadsTheFormBeforeTheNavigation() {
    QFETCH(int, choice);
    QFETCH(QStringList, order);
    rig_.host = std::make_unique<CInterDialog>();
    rig_.page = ShowCloudPage(*rig_.host);
    QVERIFY(rig_.page);
    Choose(rig_.page, choice);
    rig_.page->choiceButton(choice)->setFocus(Qt::TabFocusReason);
    QStringList met;
    for (int i = 0; i < order.size(); ++i) {
      QWidget* focused = QApplication::focusWidget();
      QVERIFY(focused);
      met << Node(focused)->text(QAccessible::Name);
      QTest::keyClick(focused, Qt::Key_Tab);
    }
    for (int i = 0; i < order.size(); ++i)
      QVERIFY2(met.value(i).startsWith(order[i], Qt::CaseInsensitive), qPrintable(met.join(" | ")));
    // And every node a person meets on the way has a name (the error marks too, once shown).
    QTest::keyClick(rig_.page->nextButton(), Qt::Key_Space);
    const std::vector<vrx::test::AccessibleNode> nodes = vrx::test::VisibleNodes(rig_.host.get());
    QVERIFY2(vrx::test::NamelessNodes(nodes).isEmpty(), qPrintable(vrx::test::Table(nodes)));
  }

  // The host shows the summary in place of the cloud page unless the service is offered and not yet in use.
  void pageShownOnlyForAnUnregisteredRecorderWithAccess_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("access");
    QTest::addColumn<bool>("shown");
    QTest::newRow("offered, not registered") << "0" << "1" << true;
    QTest::newRow("already registered") << "1" << "1" << false;
    QTest::newRow("no access") << "0" << "0" << false;
    QTest::newRow("never reported") << "" << "" << false;
  }
  void pageShownOnlyForAnUnregisteredRecorderWithAccess() {
    QFETCH(QString, status);
    QFETCH(QString, access);
    QFETCH(bool, shown);
    rig_.host = std::make_unique<CInterDialog>();
    PrepareHost(*rig_.host, status, access);
    WalkToCloudPage(*rig_.host);
    QCOMPARE(qobject_cast<CKelvaroServiceDlg*>(rig_.host->currentPage()) != nullptr, shown);
    QCOMPARE(qobject_cast<CSummaryDlg*>(rig_.host->currentPage()) != nullptr, !shown);
  }
};

QTEST_MAIN(KelvaroPageTest)
#include "KelvaroPageTest.moc"
