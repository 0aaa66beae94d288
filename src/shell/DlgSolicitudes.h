#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace lorum {

// "Abrir solicitud guardada": the folders under the requests folder that hold the four tables, one
// row each (RFC, name or company, procedure, items, value in dollars, date saved), sortable by any
// column and filtered as the user types; a folder whose tables are damaged is listed as such and
// cannot be opened. Enter opens; "Otra carpeta..." opens any folder.
class DlgSolicitudes : public QDialog {
    Q_OBJECT
public:
    DlgSolicitudes(const QString& raiz, const QString& datos, std::function<QString()> eligeCarpeta, QWidget* padre = nullptr);

    QString Carpeta() const { return carpeta_; }  // the folder to open, once accepted
    QLineEdit* filtro = nullptr;
    QTreeWidget* lista = nullptr;
    QPushButton* abrir = nullptr;
    QPushButton* otra = nullptr;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Filtra(const QString& texto);
    void Abre();
    QString carpeta_;
    std::function<QString()> eligeCarpeta_;
};

}  // namespace lorum
