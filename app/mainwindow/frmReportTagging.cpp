#include "app/mainwindow/frmReportTagging.h"

#include <algorithm>

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/mainwindow/ReportDisplay.h"
#include "app/mainwindow/TagField.h"
#include "app/mainwindow/frmMain.h"
#include "app/windows/WindowFonts.h"
#include "app/windows/WindowPlacement.h"
#include "report/ReportLines.h"

namespace {

const QColor TagText(64, 64, 64);
const QColor ReadOnlyBackground(224, 224, 224);

constexpr int TagWidth = 18;
constexpr int SerialWidth = 14;

void setTextColour(QWidget &widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, TagText);
    palette.setColor(QPalette::Text, TagText);
    palette.setColor(QPalette::Base, Qt::white);
    widget.setPalette(palette);
}

} // namespace

frmReportTagging::frmReportTagging(frmMain &owner)
    : QDialog(&owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("frmReportTagging"));
    setWindowTitle(tr("Report Tagging"));
    setFixedSize(251, 154);
    setFont(WindowFonts::arial());
    buildControls();

    const QDateTime now = QDateTime::currentDateTime();
    txtDate->setText(ReportTags::formatDate(now.date()));
    txtTime->setText(ReportTags::formatTime(now.time()));
    takeSerialNumberFromReport();
}

void frmReportTagging::buildControls()
{
    fraMain = new QGroupBox(tr("Report Tagging"), this);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setGeometry(8, 6, 235, 105);
    fraMain->setFont(WindowFonts::arial(8.25, true));
    setTextColour(*fraMain);

    const auto addLabel = [this](const char *name, const QString &caption, int top) {
        auto *label = new QLabel(caption, fraMain);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(10, top, 41, 13);
        label->setFont(WindowFonts::arial());
        return label;
    };
    Label6 = addLabel("Label6", tr("Date:"), 22);
    Label9 = addLabel("Label9", tr("Time:"), 40);
    Label8 = addLabel("Label8", tr("Serial #:"), 58);
    Label7 = addLabel("Label7", tr("User:"), 76);
    // A language with longer captions widens their column; the fields keep their right edge.
    int captionWidth = 41;
    for (QLabel *label : { Label6, Label9, Label8, Label7 })
        captionWidth = std::max(captionWidth, label->sizeHint().width());
    for (QLabel *label : { Label6, Label9, Label8, Label7 })
        label->resize(captionWidth, label->height());
    const int fieldLeft = 17 + captionWidth;

    const auto addField = [this, fieldLeft](const char *name, int typingLimit, int top) {
        auto *field = new TagField(typingLimit, fraMain);
        field->setObjectName(QString::fromLatin1(name));
        field->setGeometry(fieldLeft, top, 223 - fieldLeft, 15);
        field->setFont(WindowFonts::arial());
        return field;
    };
    txtDate = addField("txtDate", TagWidth, 22);
    txtTime = addField("txtTime", TagWidth, 40);
    txtSerialNo = addField("txtSerialNo", SerialWidth, 58);
    txtUser = addField("txtUser", TagWidth, 76);
    txtSerialNo->setFocusForward(txtUser);

    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(68, 120, 85, 27);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        WriteReportTags();
        accept();
    });

    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(160, 120, 85, 27);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    for (QLabel *label : { Label6, Label9, Label8, Label7 })
        label->setFocusPolicy(Qt::NoFocus);
    setTabOrder(txtDate, txtTime);
    setTabOrder(txtTime, txtSerialNo);
    setTabOrder(txtSerialNo, txtUser);
    setTabOrder(txtUser, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
}

void frmReportTagging::takeSerialNumberFromReport()
{
    const std::optional<QString> serial = ReportTags::findSerialNumber(
        m_owner.lstOutput().reportModel().lines(), m_owner.ReportStart(), m_owner.ReportEnd());
    if (!serial)
        return;
    txtSerialNo->setText(*serial);
    txtSerialNo->setReadOnly(true);
    QPalette palette = txtSerialNo->palette();
    palette.setColor(QPalette::Base, ReadOnlyBackground);
    txtSerialNo->setPalette(palette);
    txtSerialNo->setCursor(Qt::ArrowCursor);
}

void frmReportTagging::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        WindowPlacement::placeAtOneThird(*this);
    }
    txtSerialNo->setFocus(Qt::ActiveWindowFocusReason);
}

void frmReportTagging::WriteReportTags()
{
    const qint16 end = m_owner.ReportEnd();
    const qint16 start = m_owner.ReportStart();
    const ReportTags::Tags tags { txtDate->text(), txtTime->text(), txtSerialNo->text(), txtUser->text() };
    m_owner.lstOutput().reportModel().writeTags(start, end, tags);
}
