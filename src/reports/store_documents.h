#pragma once

#include <QList>
#include <QString>

namespace ph {

class Database;

// The store's documents for the pharmacy: goods it issued to the pharmacy (incoming) and goods
// the pharmacy sent back (returns), keyed by number, store and year.
enum class StoreDocumentKind { Incoming, Return };

struct StoreDocumentKey {
    int number = 0;
    int store = 0;
    int year = 0;
};

struct StoreDocument {
    StoreDocumentKey key;
    QString issued; // issue date
    double total = 0;
};

struct StoreDocumentLine {
    int number = 0;
    double code = 0;
    QString form;
    QString name;
    QString expiry;
    double quantity = 0;
    double catalogPrice = 0;  // the catalogue's price (incoming)
    double documentPrice = 0; // the document's price
};

// How taking a document in ended.
enum class TakeInOutcome { Done, AlreadyTaken };

class StoreDocumentStore {
public:
    explicit StoreDocumentStore(Database& db) : m_db(db) {}

    // The documents for the pharmacy not yet taken into its stock.
    QList<StoreDocument> pending(StoreDocumentKind kind);
    QList<StoreDocumentLine> lines(StoreDocumentKind kind, const StoreDocumentKey& key);
    bool isPending(StoreDocumentKind kind, const StoreDocumentKey& key);

    // Takes a document into the pharmacy's stock in one transaction: its accepted flag and its
    // lines' stock together. An incoming line adds its quantity and sets the pharmacy price to
    // the catalogue price (or, where `documentPrice` says so for that line, sets the catalogue
    // and pharmacy price to the document's price); a return line takes its quantity off. An
    // item with no pharmacy stock row gets one. A document already taken in (here or on
    // another workstation, even at the same moment) is refused and nothing is written.
    TakeInOutcome takeIn(StoreDocumentKind kind, const StoreDocumentKey& key,
                         const QList<bool>& documentPrice = {});

private:
    Database& m_db;
};

namespace texts {
inline const QString kStoreTransferTitle = QStringLiteral(" فرم برگه هاي صادره توسط انباربراي داروخانه  ");
inline const QString kNoDocument = QStringLiteral("برگه جهت ثبت موجود نميباشد");
inline const QString kTakeInQuestion = QStringLiteral("اطلاعات مورد نظر ثبت موجودي داروخانه ميشود.مطمئن هستيد؟");
inline const QString kPriceQuestion = QStringLiteral("قيمت داروها در داروخانه بر اساس قيمت در حواله باشد");
inline const QString kTakenIn = QStringLiteral("برگه مورد نظر در موجودي داروخانه اعمال شد");
// A document another workstation took in meanwhile.
inline const QString kAlreadyTakenIn = QStringLiteral("اين برگه قبلا در موجودي داروخانه اعمال شده است");
} // namespace texts

} // namespace ph
