#include "print/xlsx_table.h"

#include "core/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>

namespace ph::print {

namespace {

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// Sheet names may not hold []:*?/\ and are at most 31 characters.
QString safeSheetName(const QString& name, int index) {
    QString safe = name;
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        safe.replace(c, u' ');
    safe = safe.trimmed().left(31);
    return safe.isEmpty() ? QStringLiteral("Sheet%1").arg(index + 1) : safe;
}

class WorkbookWriter {
public:
    explicit WorkbookWriter(const QByteArray& path) : m_book(workbook_new(path.constData())) {
        if (!m_book)
            return;
        m_caption = workbook_add_format(m_book);
        format_set_bold(m_caption);
        format_set_bg_color(m_caption, 0xDDDDDD);
        format_set_border(m_caption, LXW_BORDER_THIN);
        m_title = workbook_add_format(m_book);
        format_set_bold(m_title);
        m_amount = workbook_add_format(m_book);
        format_set_num_format(m_amount, "#,##0.##");
        m_count = workbook_add_format(m_book);
        format_set_num_format(m_count, "0.##");
        m_totalAmount = workbook_add_format(m_book);
        format_set_num_format(m_totalAmount, "#,##0.##");
        format_set_bold(m_totalAmount);
        m_totalText = workbook_add_format(m_book);
        format_set_bold(m_totalText);
    }
    ~WorkbookWriter() {
        if (m_book)
            workbook_close(m_book); // only reached when writing failed half-way
    }

    bool opened() const { return m_book != nullptr; }

    bool addSheet(const XlsxSheet& sheet, int index) {
        const QByteArray name = safeSheetName(sheet.name, index).toUtf8();
        lxw_worksheet* page = workbook_add_worksheet(m_book, name.constData());
        if (!page)
            return false;
        if (sheet.rightToLeft)
            worksheet_right_to_left(page);
        lxw_row_t row = 0;
        for (const QString& line : sheet.titleLines)
            writeText(page, row++, 0, line, m_title);
        if (!sheet.titleLines.isEmpty())
            ++row;
        const lxw_row_t captionRow = row;
        QList<int> widths;
        for (int c = 0; c < sheet.columns.size(); ++c) {
            writeText(page, row, lxw_col_t(c), sheet.columns[c].caption, m_caption);
            widths.append(int(sheet.columns[c].caption.size()));
        }
        ++row;
        for (const QVariantList& values : sheet.rows)
            writeRow(page, row++, sheet.columns, values, widths, false);
        if (!sheet.totals.isEmpty())
            writeRow(page, row++, sheet.columns, sheet.totals, widths, true);
        for (int c = 0; c < sheet.columns.size(); ++c) {
            const double width = sheet.columns[c].width > 0 ? sheet.columns[c].width
                                                             : std::clamp(widths[c] + 3, 8, 60);
            worksheet_set_column(page, lxw_col_t(c), lxw_col_t(c), width, nullptr);
        }
        worksheet_freeze_panes(page, captionRow + 1, 0);
        return m_failed == LXW_NO_ERROR;
    }

    // Closes the workbook, writing the file; false when it could not be written.
    bool close() {
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        return error == LXW_NO_ERROR;
    }

private:
    void writeRow(lxw_worksheet* page, lxw_row_t row, const QList<XlsxColumn>& columns, const QVariantList& values,
                  QList<int>& widths, bool totals) {
        for (int c = 0; c < columns.size() && c < values.size(); ++c) {
            const QVariant& value = values[c];
            if (value.isNull() || !value.isValid())
                continue;
            if (isNumber(value) && columns[c].kind != XlsxColumnKind::Text) {
                lxw_format* format = columns[c].kind == XlsxColumnKind::Amount ? (totals ? m_totalAmount : m_amount)
                                                                              : m_count;
                note(worksheet_write_number(page, row, lxw_col_t(c), value.toDouble(), format));
                widths[c] = std::max(widths[c], int(QString::number(value.toDouble(), 'f', 0).size() * 4 / 3));
            } else {
                const QString text = value.toString();
                writeText(page, row, lxw_col_t(c), text, totals ? m_totalText : nullptr);
                widths[c] = std::max(widths[c], int(text.size()));
            }
        }
    }

    void writeText(lxw_worksheet* page, lxw_row_t row, lxw_col_t column, const QString& text, lxw_format* format) {
        note(worksheet_write_string(page, row, column, text.toUtf8().constData(), format));
    }

    void note(lxw_error error) {
        if (error != LXW_NO_ERROR && m_failed == LXW_NO_ERROR)
            m_failed = error;
    }

    lxw_workbook* m_book = nullptr;
    lxw_format* m_caption = nullptr;
    lxw_format* m_title = nullptr;
    lxw_format* m_amount = nullptr;
    lxw_format* m_count = nullptr;
    lxw_format* m_totalAmount = nullptr;
    lxw_format* m_totalText = nullptr;
    lxw_error m_failed = LXW_NO_ERROR;
};

} // namespace

OutputResult writeXlsx(const QList<XlsxSheet>& sheets, const QString& path) {
    try {
        AtomicFile file(path);
        file.open();
        // libxlsxwriter writes the workbook by the temporary file's name.
        bool written = false;
        {
            WorkbookWriter book(QFile::encodeName(file.temporaryPath()));
            written = book.opened();
            for (int i = 0; written && i < sheets.size(); ++i)
                written = book.addSheet(sheets[i], i);
            if (written)
                written = book.close();
        }
        if (!written)
            return OutputResult::failed(texts::kXlsxNotWritten + path);
        file.commit();
    } catch (const FileWriteError& error) {
        return OutputResult::failed(texts::kXlsxNotWritten + path + QStringLiteral("؛ ") + error.reason());
    }
    return {};
}

} // namespace ph::print
