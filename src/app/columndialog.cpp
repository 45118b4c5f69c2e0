#include "columndialog.h"

#include "colourpalette.h"
#include "numbers.h"
#include "runtimeerror.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int SwatchSize = 16;

void showColour(QPushButton *button, OleColor colour)
{
    QPixmap swatch(SwatchSize, SwatchSize);
    swatch.fill(toQColor(colour));
    button->setIcon(QIcon(swatch));
    button->setText(ColourPalette::colourName(colour));
}

} // namespace

ColumnDialog::ColumnDialog(const ChartColumn &column, QWidget *parent)
    : QDialog(parent)
    , m_column(column)
{
    setWindowTitle(QStringLiteral("Edit Column"));
    m_labelBox = new QLineEdit(column.label, this);
    m_valueBox = new QLineEdit(QString::number(column.value), this);
    m_colourButton = new QPushButton(this);
    m_labelColourButton = new QPushButton(this);
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);
    m_problem->hide();
    connect(m_colourButton, &QPushButton::clicked, this, [this] { chooseColour(&m_column.colour); });
    connect(m_labelColourButton, &QPushButton::clicked, this, [this] { chooseColour(&m_column.labelColour); });
    showColours();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColumnDialog::reject);
    // Return in a box means OK, not a click on a colour.
    for (QPushButton *button : {m_colourButton, m_labelColourButton})
        button->setAutoDefault(false);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Label:"), m_labelBox);
    form->addRow(QStringLiteral("&Value (%):"), m_valueBox);
    form->addRow(QStringLiteral("&Column colour:"), m_colourButton);
    form->addRow(QStringLiteral("Label c&olour:"), m_labelColourButton);
    form->addRow(m_problem);
    form->addRow(buttons);
    m_labelBox->selectAll();
    m_labelBox->setFocus();
}

void ColumnDialog::showColours()
{
    showColour(m_colourButton, m_column.colour);
    showColour(m_labelColourButton, m_column.labelColour);
}

void ColumnDialog::chooseColour(OleColor *colour)
{
    const QColor chosen = QColorDialog::getColor(toQColor(*colour), this);
    if (!chosen.isValid())
        return;
    *colour = fromQColor(chosen);
    showColours();
}

void ColumnDialog::accept()
{
    try {
        m_column.value = toInt16(scanNumber(m_valueBox->text()));
    } catch (const RuntimeError &) {
        m_problem->setText(QStringLiteral("The value \"%1\" does not fit in a column: enter a whole number from "
                                          "-32768 to 32767.")
                               .arg(m_valueBox->text()));
        m_problem->show();
        m_valueBox->setFocus();
        m_valueBox->selectAll();
        return;
    }
    m_column.label = m_labelBox->text();
    QDialog::accept();
}
