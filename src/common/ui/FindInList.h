#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QAbstractButton;
class QAbstractItemModel;
class QAbstractItemView;
class QLineEdit;
class QModelIndex;

namespace clinora {

struct Services;

// The screens that find a word in their list ("Trova").
enum class FindScreen { TrovaClienti, Ricontatta, ImportaPresc, TrovaAnalisi, Allarmanti, RiepLavoro };

// The last find key of each kind of screen: shared by all the instances of
// that kind, empty when the program starts.
class FindKeys {
public:
    QString &operator[](FindScreen kind) { return m_keys[std::size_t(kind)]; }
    const QString &operator[](FindScreen kind) const { return m_keys[std::size_t(kind)]; }

private:
    std::array<QString, 6> m_keys;
};

// The find command that the list screens share: the find box txtTrova, the
// button btnTrova and the list lstRecords (a list widget, or any list view
// over a model, for lists of any length).
class FindInList : public QObject {
    Q_OBJECT
public:
    static constexpr QStringView kEmptyList = u"Ricerca non applicabile: la lista non contiene nessuna voce.";

    // Wires a screen: the button finds; Enter in the box moves the focus to
    // the button without pressing it (not on the summary screen); the screens
    // whose key does not carry over empty it each time `screen` is shown.
    static FindInList *attach(const Services &services, FindKeys &keys, FindScreen kind, QWidget *screen,
                              QLineEdit *txtTrova, QAbstractButton *btnTrova, QAbstractItemView *lstRecords);

    // Pressing the button.
    void find();

    // Whether a kind of screen empties its key when shown, and whether Enter
    // in its find box moves to the button.
    static bool emptiesKeyOnShow(FindScreen kind);
    static bool enterMovesToButton(FindScreen kind);

    // The search itself: the row of the first line (from the first row for a
    // new key; after `selected`, wrapping, for the same key again) whose text
    // in lower case holds `key`, or -1. An empty key matches nothing.
    static int findRow(const QAbstractItemModel &model, const QModelIndex &root, int column, int selected,
                       const QString &key, bool sameKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FindInList(const Services &services, FindKeys &keys, FindScreen kind, QWidget *screen, QLineEdit *txtTrova,
               QAbstractItemView *lstRecords);

    const Services &m_services;
    FindKeys &m_keys;
    FindScreen m_kind;
    QPointer<QWidget> m_screen;
    QPointer<QLineEdit> m_box;
    QPointer<QAbstractItemView> m_list;
};

} // namespace clinora
