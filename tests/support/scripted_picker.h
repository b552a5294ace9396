#pragma once

#include "widgets/picker.h"

#include <QList>
#include <QQueue>
#include <QVariant>

namespace ph::test {

// A picker for tests: records each request and answers with the row whose code was
// queued (an invalid QVariant cancels). A request with nothing queued cancels too.
class ScriptedPicker : public Picker {
public:
    std::optional<PickRow> pick(const PickRequest& request) override {
        m_requests.append(request);
        if (m_answers.isEmpty())
            return std::nullopt;
        const QVariant code = m_answers.dequeue();
        for (const PickRow& row : request.rows)
            if (code.isValid() && row.code.toString() == code.toString())
                return row;
        return std::nullopt;
    }

    void choose(const QVariant& code) { m_answers.enqueue(code); }
    void cancel() { m_answers.enqueue(QVariant()); }
    const QList<PickRequest>& requests() const { return m_requests; }

private:
    QList<PickRequest> m_requests;
    QQueue<QVariant> m_answers;
};

} // namespace ph::test
