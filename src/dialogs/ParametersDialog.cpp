// SPDX-License-Identifier: Apache-2.0
#include "dialogs/ParametersDialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <exception>
#include <vector>

#include "dialogs/PasswordChangeDialog.h"
#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "ui/EngineCalls.h"
#include "ui/Images.h"
#include "ui/ScreenFit.h"
#include "ui/WindowThread.h"

namespace ordano {

namespace {

// The letter after "&" takes Alt to its field. The tabs hold N and D, the toolbar F, L, G, B and
// O (only the buttons of one mode are shown at a time), the Generales tab T, I, P, A, C and R.
constexpr std::array<const char*, 8> kFolderLabels = {
    "Dir. Envío de Archivos &SAAI M3",
    "Dir. Recepción de Archivos SAAI &M3",
    "Dir. Envío de Archivos &Cartas Cupo",
    "Dir. Recepción de Archivos Cartas C&upo",
    "Dir. Envío de Archivos de &Pago Electrónico",
    "Dir. Recepción de Archivos de Pago &Electrónico",
    "Dir. Envío de Archivos de Sag&arpa",
    "Dir. Recepción de Archivos de Saga&rpa",
};

// Fields 0 and 1 are read-only; 2 to 12 are edited in edit mode.
constexpr std::size_t kFirstEditableField = 2;
constexpr std::size_t kFirstFolderField = 5;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A field that takes no typing reads as text on the dialog rather than as a box to type in,
// and Tab passes it by; a click still selects its text to copy.
void look_editable(QWidget& field, bool editable) {
    QPalette palette;  // nothing of its own: the dialog's colours
    if (!editable) {
        palette.setBrush(QPalette::Base, field.parentWidget()->palette().window());
    }
    field.setPalette(palette);
    field.setFocusPolicy(editable ? Qt::StrongFocus : Qt::ClickFocus);
}

void set_line_editable(QLineEdit& field, bool editable) {
    field.setReadOnly(!editable);
    look_editable(field, editable);
}

// A number setting's box takes the values its column's bounds allow.
void set_bounds(QSpinBox& box, Param id) {
    const ParamBounds bounds = parameter_bounds(id);
    box.setRange(static_cast<int>(bounds.min), static_cast<int>(bounds.max));
}

}  // namespace

ParametersDialog::ParametersDialog(Office& office, Engine& engine, FrontEnd& ui, QWidget* parent)
    : QDialog(parent),
      office_(office),
      engine_(engine),
      ui_(ui),
      picker_(system_folder_picker()),
      certificate_picker_(system_certificate_picker()) {
    build();
    frmCambPassword_ = new PasswordChangeDialog(office_, engine_, ui_, this);
    engine_.on_state([this](const EngineState&) {
        on_thread_of(this, [this] { follow_engine(engine_.state()); });
    });
    follow_engine(engine_.state());
    // The telephone and proxy fields start hidden; the link-type handling shows them.
    txtParametros_[3]->hide();
    txtParametros_[4]->hide();
    Imprime_Datos();
    Muestra_Botones(true);
    Habilita_Campos(false);
}

void ParametersDialog::build() {
    setObjectName(QStringLiteral("frmParametros"));
    setWindowTitle(QStringLiteral("Parámetros del Sistema"));
    setWindowIcon(images::action_icon(Action::Parametros));
    setModal(true);
    for (std::size_t i = 0; i < txtParametros_.size(); ++i) {
        txtParametros_[i] = new QLineEdit(this);
        txtParametros_[i]->setObjectName(QStringLiteral("txtParametros(%1)").arg(i));
    }
    build_toolbar();
    sstParametros_ = new QTabWidget(this);
    sstParametros_->setObjectName(QStringLiteral("sstParametros"));
    sstParametros_->addTab(build_general_tab(), QStringLiteral("Ge&nerales"));
    sstParametros_->addTab(build_folders_tab(), QStringLiteral("&Directorios de Archivos"));
    set_tab_order();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(tlbParametros_);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 4, 10, 0);
    body->addWidget(sstParametros_);
    layout->addLayout(body);
    fit_to_screen(*this, QSize(720, 460));
}

void ParametersDialog::build_toolbar() {
    tlbParametros_ = new QToolBar(this);
    tlbParametros_->setObjectName(QStringLiteral("tlbParametros"));
    tlbParametros_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tlbParametros_->setIconSize(QSize(24, 24));
    buttons_ = ToolbarButtons(*tlbParametros_, Toolbar::Parameters,
                              [this](Action action) { Ejecuta_Opcion(action); });
    // Modificar's separator shows and hides with it.
    view_buttons_ = {buttons_.button(Action::Modificar),
                     buttons_.separator_after(Action::Modificar), buttons_.button(Action::Salir)};
    edit_buttons_ = {buttons_.button(Action::Guardar), buttons_.button(Action::Cancelar)};
}

QWidget* ParametersDialog::build_general_tab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(10);
    int label_number = 0;
    auto add_row = [&](int row, const char* text, QWidget* field) {
        auto* label = new QLabel(QString::fromUtf8(text), page);
        label->setObjectName(QStringLiteral("lblParametros(%1)").arg(label_number++));
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, 2);
    };
    txtParametros_[0]->setMaximumWidth(90);
    add_row(0, "Patente", txtParametros_[0]);
    add_row(1, "Nombre del Agente Aduanal", txtParametros_[1]);

    cboParametros_ = new QComboBox(page);
    cboParametros_->setObjectName(QStringLiteral("cboParametros"));
    for (const char* type : kLinkTypes) {
        cboParametros_->addItem(QString::fromLatin1(type));
    }
    connect(cboParametros_, &QComboBox::currentIndexChanged, this,
            [this] { cboParametros_Change(); });
    cboParametros_->installEventFilter(this);
    add_row(2, "&Tipo de Ordano", cboParametros_);
    add_row(3, "Dirección &IP Servidor", txtParametros_[2]);

    txtParametros_[3]->setPlaceholderText(QStringLiteral("Teléfono"));
    grid->addWidget(txtParametros_[3], 4, 1, 1, 2);

    chkParametros_ = new QCheckBox(QStringLiteral(" &Proxy"), page);
    chkParametros_->setObjectName(QStringLiteral("chkParametros"));
    connect(chkParametros_, &QCheckBox::toggled, this, [this] { chkParametros_Click(); });
    chkParametros_->installEventFilter(this);
    txtParametros_[4]->setPlaceholderText(QStringLiteral("Servidor proxy"));
    grid->addWidget(chkParametros_, 5, 0);
    grid->addWidget(txtParametros_[4], 5, 1, 1, 2);

    txtAtraso_ = new QSpinBox(page);
    txtAtraso_->setObjectName(QStringLiteral("txtAtraso"));
    set_bounds(*txtAtraso_, Param::min_atraso);
    txtAtraso_->setSuffix(QStringLiteral(" minutos"));
    txtAtraso_->setMaximumWidth(160);
    add_row(6, "Respuesta &atrasada después de", txtAtraso_);

    txtSesiones_ = new QSpinBox(page);
    txtSesiones_->setObjectName(QStringLiteral("txtSesiones"));
    set_bounds(*txtSesiones_, Param::sesiones_ftp);
    txtSesiones_->setSuffix(QStringLiteral(" a la vez"));
    txtSesiones_->setMaximumWidth(160);
    txtSesiones_->setToolTip(QStringLiteral(
        "Archivos que se envían o se reciben al mismo tiempo, cada uno por una conexión propia; "
        "1 los transfiere uno tras otro"));
    add_row(7, "Transferencias si&multáneas", txtSesiones_);
    add_tls_rows(grid, 8);

    grid->setColumnStretch(1, 1);
    grid->setRowStretch(10, 1);
    return page;
}

// "Conexión cifrada (TLS)" and the certificate file to trust, which only counts with TLS on.
void ParametersDialog::add_tls_rows(QGridLayout* grid, int row) {
    QWidget* page = grid->parentWidget();
    chkTls_ = new QCheckBox(QStringLiteral("Conexión &cifrada (TLS)"), page);
    chkTls_->setObjectName(QStringLiteral("chkTls"));
    chkTls_->setToolTip(
        QStringLiteral("Cifra la contraseña y los archivos en cada conexión con el servidor"));
    chkTls_->installEventFilter(this);
    connect(chkTls_, &QCheckBox::toggled, this, [this] { enable_tls_fields(); });
    grid->addWidget(chkTls_, row, 0, 1, 3);

    txtTlsCa_ = new QLineEdit(page);
    txtTlsCa_->setObjectName(QStringLiteral("txtTlsCa"));
    txtTlsCa_->setPlaceholderText(QStringLiteral("Los certificados de confianza del sistema"));
    auto* label = new QLabel(QStringLiteral("Auto&ridad certificadora"), page);
    label->setObjectName(QStringLiteral("lblTlsCa"));
    label->setBuddy(txtTlsCa_);
    cmdTlsCa_ = new QPushButton(images::action_icon(Action::Carpeta), QString(), page);
    cmdTlsCa_->setObjectName(QStringLiteral("cmdTlsCa"));
    cmdTlsCa_->setToolTip(QStringLiteral("Elegir el archivo de certificados del servidor"));
    cmdTlsCa_->setAutoDefault(false);
    connect(cmdTlsCa_, &QPushButton::clicked, this, [this] { choose_certificate(); });
    grid->addWidget(label, row + 1, 0);
    grid->addWidget(txtTlsCa_, row + 1, 1);
    grid->addWidget(cmdTlsCa_, row + 1, 2);
}

void ParametersDialog::enable_tls_fields() {
    // The certificate file counts only with TLS on; out of edit mode it is shown read-only.
    const bool in_use = chkTls_->isChecked();
    txtTlsCa_->setEnabled(in_use);
    set_line_editable(*txtTlsCa_, edit_mode_);
    cmdTlsCa_->setEnabled(edit_mode_ && in_use);
}

void ParametersDialog::choose_certificate() {
    certificate_picker_(this, txtTlsCa_->text(), [this](std::optional<QString> chosen) {
        if (chosen) {
            txtTlsCa_->setText(*chosen);
        }
    });
}

QWidget* ParametersDialog::build_folders_tab() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(8);
    for (std::size_t k = 0; k < cmdParametros_.size(); ++k) {
        const int row = static_cast<int>(k);
        QLineEdit* field = txtParametros_[k + kFirstFolderField];
        auto* label = new QLabel(QString::fromUtf8(kFolderLabels[k]), page);
        label->setObjectName(QStringLiteral("lblParametros(%1)").arg(4 + row));
        label->setBuddy(field);
        auto* button = new QPushButton(images::action_icon(Action::Carpeta), QString(), page);
        button->setObjectName(QStringLiteral("cmdParametros(%1)").arg(k));
        button->setToolTip(QStringLiteral("Elegir la carpeta"));
        // Enter in a field must not open the folder picker.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, row] { cmdParametros_Click(row); });
        connect(field, &QLineEdit::textChanged, this, [this] { push_folders(); });
        cmdParametros_[k] = button;
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(button, row, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(static_cast<int>(cmdParametros_.size()), 1);
    return page;
}

void ParametersDialog::Imprime_Datos() {
    const ParametersRecord& params = office_.params();
    txtParametros_[0]->setText(qs(params.text(Param::Patente)));
    txtParametros_[1]->setText(qs(params.text(Param::Agente)));
    const auto tipo = params.number(Param::tipo_acceso);
    {
        // The link-type handling runs once, below, also when the index does not change.
        const QSignalBlocker quiet(cboParametros_);
        cboParametros_->setCurrentIndex(host_column(static_cast<int>(tipo)) ? static_cast<int>(tipo)
                                                                            : -1);
    }
    cboParametros_Change();
    if (const auto host = host_column(static_cast<int>(tipo))) {
        txtParametros_[2]->setText(qs(params.text(*host)));
    }
    {
        const QSignalBlocker quiet(chkParametros_);
        // Only -1 makes a connection use the proxy; the box shows no other value as checked.
        chkParametros_->setChecked(params.number(Param::proxy) == -1);
    }
    // After the link-type handling: with MODEM and a stored proxy the proxy host shows while
    // the check box stays hidden.
    txtParametros_[4]->setVisible(chkParametros_->isChecked());
    txtParametros_[4]->setText(qs(params.text(Param::ip_proxy)));
    txtParametros_[3]->setText(qs(params.text(Param::telefono)));
    txtAtraso_->setValue(static_cast<int>(params.bounded_number(Param::min_atraso)));
    txtSesiones_->setValue(static_cast<int>(params.bounded_number(Param::sesiones_ftp)));
    for (std::size_t i = 0; i < kFolderColumns.size(); ++i) {
        txtParametros_[i + kFirstFolderField]->setText(qs(params.text(kFolderColumns[i])));
    }
    chkTls_->setChecked(params.flag(Param::tls));
    txtTlsCa_->setText(qs(params.text(Param::tls_ca)));
}

void ParametersDialog::cboParametros_Change() {
    const int index = cboParametros_->currentIndex();
    const auto host = host_column(index);
    if (!host) {
        return;
    }
    if (index == 0) {
        txtParametros_[3]->show();
        chkParametros_->hide();
        txtParametros_[4]->hide();
    } else {
        chkParametros_->show();
        txtParametros_[4]->setVisible(chkParametros_->isChecked());
    }
    // An unsaved edit of the address gives way to the stored address of the new type.
    txtParametros_[2]->setText(qs(office_.params().text(*host)));
}

void ParametersDialog::chkParametros_Click() {
    txtParametros_[4]->setVisible(chkParametros_->isChecked());
}

void ParametersDialog::cmdParametros_Click(int index) {
    QLineEdit* field = txtParametros_[static_cast<std::size_t>(index) + kFirstFolderField];
    picker_(this, field->text(), [field](std::optional<QString> chosen) {
        if (chosen) {
            field->setText(*chosen);
        }
    });
}

void ParametersDialog::Muestra_Botones(bool view_mode) {
    for (QAction* action : view_buttons_) {
        action->setVisible(view_mode);
    }
    for (QAction* action : edit_buttons_) {
        action->setVisible(!view_mode);
    }
}

void ParametersDialog::Habilita_Campos(bool enabled) {
    // Out of edit mode the values are shown read-only, not greyed out: they stay legible in
    // every theme. The combo and the check box have no read-only state of their own: they
    // ignore input (eventFilter) and leave the Tab order. Patente and agent are never edited.
    edit_mode_ = enabled;
    for (std::size_t i = 0; i < txtParametros_.size(); ++i) {
        set_line_editable(*txtParametros_[i], enabled && i >= kFirstEditableField);
    }
    for (QPushButton* button : cmdParametros_) {
        button->setEnabled(enabled);
    }
    for (QWidget* choice :
         {static_cast<QWidget*>(cboParametros_), static_cast<QWidget*>(chkParametros_),
          static_cast<QWidget*>(chkTls_)}) {
        choice->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
        if (!enabled && choice->hasFocus()) {
            focusNextChild();
        }
    }
    txtAtraso_->setReadOnly(!enabled);
    for (QSpinBox* box : {txtAtraso_, txtSesiones_}) {
        box->setButtonSymbols(enabled ? QAbstractSpinBox::UpDownArrows
                                      : QAbstractSpinBox::NoButtons);
        look_editable(*box, enabled);
    }
    enable_tls_fields();
    if (enabled) {
        cboParametros_->setFocus();
    }
}

bool ParametersDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool choice =
        watched == cboParametros_ || watched == chkParametros_ || watched == chkTls_;
    if (choice && !edit_mode_) {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The toolbar, the tabs, then each tab's fields as they read (a folder field, then its button).
void ParametersDialog::set_tab_order() {
    std::vector<QWidget*> order;
    for (QAction* action : tlbParametros_->actions()) {
        if (!action->isSeparator()) {
            order.push_back(tlbParametros_->widgetForAction(action));
        }
    }
    order.insert(order.end(),
                 {sstParametros_, txtParametros_[0], txtParametros_[1], cboParametros_,
                  txtParametros_[2], txtParametros_[3], chkParametros_, txtParametros_[4],
                  txtAtraso_, txtSesiones_, chkTls_, txtTlsCa_, cmdTlsCa_});
    for (std::size_t k = 0; k < cmdParametros_.size(); ++k) {
        order.push_back(txtParametros_[k + kFirstFolderField]);
        order.push_back(cmdParametros_[k]);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

ParameterFields ParametersDialog::fields() const {
    ParameterFields fields;
    fields.tipo_acceso = cboParametros_->currentIndex();
    fields.host = txtParametros_[2]->text().toStdString();
    fields.telefono = txtParametros_[3]->text().toStdString();
    fields.proxy = chkParametros_->isChecked();
    fields.ip_proxy = txtParametros_[4]->text().toStdString();
    fields.min_atraso = txtAtraso_->value();
    fields.sesiones_ftp = txtSesiones_->value();
    for (std::size_t i = 0; i < fields.folders.size(); ++i) {
        fields.folders[i] = txtParametros_[i + kFirstFolderField]->text().toStdString();
    }
    fields.tls = chkTls_->isChecked();
    fields.tls_ca = txtTlsCa_->text().toStdString();
    return fields;
}

LocalFolders ParametersDialog::folders() const {
    return local_folders(fields().folders);
}

void ParametersDialog::push_folders() {
    engine_.with_turn(Request::SetFolders,
                      [this, folders = folders()] { office_.session().folders = folders; });
}

void ParametersDialog::guardar() {
    const ParameterFields edited = fields();
    if (!host_column(edited.tipo_acceso)) {
        ui_.tell({"Elige el Tipo de Ordano antes de guardar los parámetros.",
                  {},
                  MessageIcon::Information});
        return;
    }
    if (edited.tls && !edited.tls_ca.empty() && !QFileInfo(txtTlsCa_->text()).isFile()) {
        ui_.tell({"No se encontró el archivo de certificados " + edited.tls_ca +
                      ". Elige el archivo de la autoridad certificadora del servidor, o déjalo "
                      "vacío para usar los certificados de confianza del sistema.",
                  {},
                  MessageIcon::Information});
        return;
    }
    // What the next connection reads changes between two steps of whatever runs.
    with_turn_then(
        engine_, this, Request::SaveParameters,
        [this, edited]() -> std::optional<std::string> {
            ParametersRecord& params = office_.params();
            try {
                Guarda_Datos(params, edited);
                params.save();
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
            office_.session().host = office_.host_for_link_type(office_.session().host);
            return std::nullopt;
        },
        [this](const std::optional<std::string>& failure) {
            if (!failure) {
                saved();
                return;
            }
            // The record keeps what the database holds; the edits stay on screen to try again.
            ui_.tell({"No se pudieron guardar los parámetros del sistema.\n\n" + *failure +
                          "\n\nTus cambios siguen en pantalla; puedes intentarlo de nuevo.",
                      {},
                      MessageIcon::Critical});
        });
}

void ParametersDialog::saved() {
    Habilita_Campos(false);
    Muestra_Botones(true);
}

void ParametersDialog::follow_engine(const EngineState& state) {
    buttons_.follow(state);
}

void ParametersDialog::cancelar() {
    Habilita_Campos(false);
    Imprime_Datos();
    Muestra_Botones(true);
}

void ParametersDialog::Ejecuta_Opcion(Action action) {
    if (action == Action::Modificar) {
        Muestra_Botones(false);
        Habilita_Campos(true);
    } else if (action == Action::Guardar) {
        guardar();
    } else if (action == Action::Cancelar) {
        cancelar();
    } else if (action == Action::Salir) {
        // Leaving drops an edit that was not saved, as "Cancelar" does: the dialog shows the
        // record the next time, and the rest of the program reads the saved folders.
        if (edit_mode_) {
            cancelar();
        }
        done(QDialog::Rejected);
    } else if (action == Action::Password) {
        password();
    } else if (action == Action::EnvKro) {
        envkro();
    }
}

void ParametersDialog::password() {
    frmCambPassword_->open();
}

// The request carries the password to the server: it goes only once the person says so.
void ParametersDialog::envkro() {
    ui_.ask({"¿Deseas enviar al servidor la solicitud de la contraseña de pago electrónico?",
             {},
             MessageIcon::Question},
            [this](MessageAnswer answer) {
                if (answer == MessageAnswer::Yes) {
                    on_thread_of(this, [this] { engine_.recover_payment_password(); });
                }
            });
}

void ParametersDialog::reject() {
    Ejecuta_Opcion(Action::Salir);
}

void ParametersDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    Ejecuta_Opcion(Action::Salir);
}

}  // namespace ordano
