#pragma once

#include "chartcolumn.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Edit Column: the label, the value, the column's colour and its label's
// colour of one column. The value is read as the value box reads it; a
// value that does not fit keeps the dialog open and says so.
class ColumnDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ColumnDialog(const ChartColumn &column, QWidget *parent = nullptr);

    // The column as the dialog holds it now; the value as last accepted.
    ChartColumn column() const { return m_column; }
    QLineEdit *labelBox() const { return m_labelBox; }
    QLineEdit *valueBox() const { return m_valueBox; }

    void accept() override;

private:
    void chooseColour(OleColor *colour);
    void showColours();

    ChartColumn m_column;
    QLineEdit *m_labelBox = nullptr;
    QLineEdit *m_valueBox = nullptr;
    QPushButton *m_colourButton = nullptr;
    QPushButton *m_labelColourButton = nullptr;
    QLabel *m_problem = nullptr;
};
