#include "ui/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include "app/help_window.h"
#include "ui/QtPlatform.h"
#include "ui/bindings.h"
#include "ui/bitmap_list_view.h"
#include "ui/desktop_fit.h"
#include "ui/number_edit.h"
#include "ui/status_panel_view.h"

namespace quillet::ui {

namespace {

constexpr int kClientWidth = 463;
constexpr int kClientHeight = 434;
// The longest caption of the compression list: "Medium " and a percentage
// with three decimals (digits are equally wide).
constexpr const char* kWidestCompressionCaption = "Medium 00.000%";

// A label for a control, with the control as the buddy of its access key.
// It has no help text of its own: pointing at it shows the text of the
// region around it.
QLabel* makeLabel(const std::string& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(qs(caption), parent);
    label->setBuddy(buddy);
    return label;
}

// An outlined region around some fields, carrying its own help text.
QGroupBox* makeGroup(const app::MainForm& form, const char* name, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setStatusTip(qs(form.hintOf(name)));
    return box;
}

QGridLayout* gridIn(QGroupBox* box, int horizontalSpacing) {
    auto* g = new QGridLayout(box);
    g->setContentsMargins(6, 4, 6, 4);
    g->setHorizontalSpacing(horizontalSpacing);
    g->setVerticalSpacing(3);
    return g;
}

NumberEdit* makeField(const app::MainForm& form, app::NumberField& model, QWidget* parent) {
    auto* e = new NumberEdit(model, parent);
    e->setStatusTip(qs(form.hintOf(model.name())));
    return e;
}

// One row of a group: the field's label, then the field at the right.
NumberEdit* addFieldRow(QGridLayout* grid, int row, const app::MainForm& form,
                        app::NumberField& model, QWidget* parent) {
    NumberEdit* e = makeField(form, model, parent);
    QLabel* l = makeLabel(app::MainForm::labelOf(model.name()), e, parent);
    l->setWordWrap(true);
    grid->addWidget(l, row, 0);
    grid->addWidget(e, row, 1, Qt::AlignRight | Qt::AlignVCenter);
    return e;
}

// Wide enough for `text` beside the list's arrow.
int comboWidthFor(const QComboBox* combo, const QString& text) {
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    const QSize content(combo->fontMetrics().horizontalAdvance(text) + 4,
                        combo->fontMetrics().height());
    return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, content, combo).width();
}

}  // namespace

TForm1::TForm1(app::Program& program, QtPlatform& platform)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      program_(program), form_(program.form), platform_(platform) {
    setAttribute(Qt::WA_QuitOnClose, true);
    buildMenus();
    buildControls();

    // The client area below the menu bar is 463 x 434 (at the designed
    // font) and cannot be resized.
    const QSize client = DesignScale::desktop().size(kClientWidth, kClientHeight);
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());

    // Centred on the screen; the model keeps the position from now on.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        form_.window.moveTo(s.left() + (s.width() - width()) / 2,
                            s.top() + (s.height() - height()) / 2);
    }
    binding_ = new WindowBinding(this, form_.window,
                                 {.followSize = false,
                                  .fixedSize = true,
                                  .followStayOnTop = true,
                                  .closeHides = false});
    finishWindow(this, false);
    binding_->apply();
    Button1_->setFocus(Qt::OtherFocusReason);
}

TForm1::~TForm1() = default;

QAction* TForm1::addItem(QMenu* menu, app::MenuItem& item, bool checkable) {
    auto* action = new QAction(this);
    bindAction(action, item, checkable);
    menu->addAction(action);
    actions_[item.name()] = action;
    return action;
}

void TForm1::buildMenus() {
    app::MainForm& f = form_;
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);

    // Each menu runs its item's opening handler (the enabling rules) each
    // time it is about to open.
    auto makeMenu = [this](app::MenuItem& item, QWidget* parent) {
        auto* m = new QMenu(qs(item.caption()), parent);
        m->setObjectName(qs(item.name()));
        m->menuAction()->setObjectName(qs(item.name()));
        m->menuAction()->setStatusTip(qs(item.hint()));
        m->setToolTipsVisible(false);
        app::MenuItem* model = &item;
        connect(m, &QMenu::aboutToShow, m, [model] { model->click(); });
        onSignal(item.viewChanged, m, [model](QMenu* menu) {
            menu->setTitle(qs(model->caption()));
            menu->menuAction()->setStatusTip(qs(model->hint()));
            menu->menuAction()->setEnabled(model->enabled());
        });
        menus_[item.name()] = m;
        return m;
    };

    QMenu* file = makeMenu(f.File1, this);
    addItem(file, f.SetOutputDirectory1);
    addItem(file, f.DeleteSelectedFiles1);
    addItem(file, f.Moveselectedfiles);
    file->addSeparator();
    addItem(file, f.Print1);
    addItem(file, f.PrintPreview1);
    addItem(file, f.PrinterSetup1);
    file->addSeparator();
    addItem(file, f.SelectSource1);
    addItem(file, f.Acquire1);
    addItem(file, f.ImportPages1);
    addItem(file, f.CleanUpPages1);
    file->addSeparator();
    addItem(file, f.Exit1);
    bar->addMenu(file);

    QMenu* options = makeMenu(f.Options1, this);
    addItem(options, f.Columnformat1, true);
    addItem(options, f.Compressiontoggle1, true);
    addItem(options, f.UpdatefilelistafterOK1, true);
    addItem(options, f.KeepQuilletontop1, true);
    addItem(options, f.ThickPrint1, true);
    addItem(options, f.Setpapersize1);
    QMenu* advanced = makeMenu(f.AdvancedFormatOptions1, options);
    addItem(advanced, f.Autocrop1, true);
    addItem(advanced, f.Stretchtolargestwidth1, true);
    addItem(advanced, f.Stretchtolargestheight1, true);
    addItem(advanced, f.Fixpagesizetolongestwidth1, true);
    addItem(advanced, f.Fixpagesizetolongestheight1, true);
    advanced->addSeparator();
    addItem(advanced, f.Setborders1);
    addItem(advanced, f.Setverticalpagejustification1);
    addItem(advanced, f.Sethorizontalpagejustification1);
    options->addMenu(advanced);
    bar->addMenu(options);

    QMenu* view = makeMenu(f.View1, this);
    addItem(view, f.ToggleViewerWindow1);
    addItem(view, f.Viewfromotherdirectory1);
    bar->addMenu(view);

    // "&Help" stands on the menu bar itself.
    auto* help = new QAction(this);
    bindAction(help, f.Help1, false);
    bar->addAction(help);
    addAction(help);  // its shortcut works wherever the focus is in the window
    actions_[f.Help1.name()] = help;

    // The menus' shortcuts work from every Quillet window (F1 and F12 also
    // from the help window and the viewer), unless a modal dialog is open.
    for (auto& [name, a] : actions_) a->setShortcutContext(Qt::ApplicationShortcut);

    // The file list's pop-up menu (archives); its opening rule sets the
    // captions and enabling of the first two items.
    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    addItem(popup, f.Extract);
    addItem(popup, f.Addselectedfilesto1);
    popup->addSeparator();
    addItem(popup, f.Showzipfiles1, true);
    app::MenuItem* opening = &f.PopupMenu1;
    connect(popup, &QMenu::aboutToShow, popup, [opening] { opening->click(); });
    menus_["PopupMenu1"] = popup;
}

void TForm1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("TForm1Client"));
    client->setMouseTracking(true);
    client->installEventFilter(this);
    setCentralWidget(client);

    auto* outer = new QVBoxLayout(client);
    outer->setContentsMargins(6, 6, 6, 4);
    outer->setSpacing(5);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(6);
    outer->addLayout(columns, 1);
    columns->addWidget(buildDirectoryColumn(client));
    columns->addWidget(buildFileColumn(client));
    columns->addLayout(buildLayoutColumn(client), 1);
    outer->addWidget(buildStatusPanel(client));
    connectModels();
}

QWidget* TForm1::buildDirectoryColumn(QWidget* client) {
    app::MainForm& f = form_;
    auto* box = new QWidget(client);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(4);
    column->setContentsMargins(0, 0, 0, 0);
    DriveComboBox1_ = new DriveComboBox(f.DriveComboBox1, box);
    DriveComboBox1_->setStatusTip(qs(f.hintOf("DriveComboBox1")));
    DriveComboBox1_->setAccessibleName(QStringLiteral("Drive"));
    DirectoryListBox1_ = new DirectoryListBox(f, box);
    DirectoryListBox1_->setStatusTip(qs(f.hintOf("DirectoryListBox1")));
    DirectoryListBox1_->setAccessibleName(QStringLiteral("Directory"));
    fullpathname_ = new QLabel(box);
    fullpathname_->setObjectName(QStringLiteral("fullpathname"));
    fullpathname_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(DriveComboBox1_);
    column->addWidget(DirectoryListBox1_, 1);
    column->addWidget(fullpathname_);
    box->setFixedWidth(DesignScale::desktop().sx(128));
    return box;
}

QWidget* TForm1::buildFileColumn(QWidget* client) {
    app::MainForm& f = form_;
    auto* box = new QWidget(client);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(4);
    column->setContentsMargins(0, 0, 0, 0);
    FileListBox1_ = new FileListBox(f.FileListBox1, box);
    FileListBox1_->setAccessibleName(QStringLiteral("Files"));
    FileListBox1_->setContextMenuPolicy(Qt::CustomContextMenu);
    FileListBox1_->onDoubleClick = [this] {
        if (form_.FileListBox1.onDoubleClick) form_.FileListBox1.onDoubleClick();
    };
    connect(FileListBox1_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        menus_["PopupMenu1"]->popup(FileListBox1_->viewport()->mapToGlobal(at));
    });
    // The pop-up menu's shortcuts act only while the file list has the focus
    // (they are single letters).
    for (QAction* a : menus_["PopupMenu1"]->actions()) {
        if (a->isSeparator()) continue;
        a->setShortcutContext(Qt::WidgetShortcut);
        FileListBox1_->addAction(a);
    }
    lockselection_ = new QCheckBox(qs(f.lockselection.caption()), box);
    lockselection_->setObjectName(QStringLiteral("lockselection"));
    lockselection_->setStatusTip(qs(f.lockselection.hint()));
    connect(lockselection_, &QCheckBox::clicked, this, [this] {
        form_.lockselection.click();
        syncControls();
    });
    column->addWidget(FileListBox1_, 1);
    column->addWidget(lockselection_);
    box->setFixedWidth(DesignScale::desktop().sx(118));
    return box;
}

QVBoxLayout* TForm1::buildLayoutColumn(QWidget* client) {
    auto* column = new QVBoxLayout;
    column->setSpacing(7);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(buildLengthGroup(client));
    column->addWidget(buildPrintedPagesGroup(client));
    column->addWidget(buildResolutionGroup(client));
    column->addWidget(buildFileNameGroup(client));
    column->addLayout(buildCompressionRow(client));
    column->addStretch(1);
    column->addWidget(buildOkButton(client));
    return column;
}

QGroupBox* TForm1::buildLengthGroup(QWidget* client) {
    app::MainForm& f = form_;
    QGroupBox* group = makeGroup(f, "ColumnLengthGroup", client);
    QGridLayout* grid = gridIn(group, 6);
    grid->setColumnStretch(0, 1);
    addFieldRow(grid, 0, f, f.ColumnLengthPixels, group);
    addFieldRow(grid, 1, f, f.ColumnLengthPages, group);
    addFieldRow(grid, 2, f, f.Numberofcolumnsperprintedpage, group);
    return group;
}

QGroupBox* TForm1::buildPrintedPagesGroup(QWidget* client) {
    app::MainForm& f = form_;
    QGroupBox* group = makeGroup(f, "PrintedPagesGroup", client);
    QGridLayout* grid = gridIn(group, 6);
    grid->setColumnStretch(0, 1);
    NumberEdit* pages = addFieldRow(grid, 0, f, f.numberofprintedpages, group);
    pages->setReadOnly(true);
    pages->setFocusPolicy(Qt::NoFocus);
    return group;
}

QGroupBox* TForm1::buildResolutionGroup(QWidget* client) {
    app::MainForm& f = form_;
    QGroupBox* group = makeGroup(f, "ResolutionGroup", client);
    QGridLayout* grid = gridIn(group, 4);
    Label5_ = new QLabel(qs(f.Label5), group);
    Label5_->setObjectName(QStringLiteral("Label5"));
    Label5_->setAlignment(Qt::AlignCenter);
    grid->addWidget(Label5_, 0, 0, 1, 4);
    NumberEdit* x = makeField(f, f.xpixelsperinch, group);
    NumberEdit* y = makeField(f, f.ypixelsperinch, group);
    grid->addWidget(makeLabel(app::MainForm::labelOf("xpixelsperinch"), x, group), 1, 0,
                    Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(x, 1, 1);
    grid->addWidget(makeLabel(app::MainForm::labelOf("ypixelsperinch"), y, group), 1, 2,
                    Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(y, 1, 3);
    return group;
}

QGroupBox* TForm1::buildFileNameGroup(QWidget* client) {
    app::MainForm& f = form_;
    QGroupBox* group = makeGroup(f, "FileNameGroup", client);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(6);
    filename_ = new QLineEdit(qs(f.filename.text()), group);
    filename_->setObjectName(QStringLiteral("filename"));
    filename_->setMaxLength(f.filename.maxLength());
    filename_->setStatusTip(qs(f.hintOf("filename")));
    connect(filename_, &QLineEdit::textEdited, this,
            [this](const QString& t) { form_.filename.setText(ss(t)); });
    row->addWidget(makeLabel(app::MainForm::labelOf("filename"), filename_, group));
    row->addWidget(filename_, 1);
    return group;
}

QHBoxLayout* TForm1::buildCompressionRow(QWidget* client) {
    app::MainForm& f = form_;
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->setContentsMargins(6, 0, 0, 0);
    compressionselection_ = new QComboBox(client);
    compressionselection_->setObjectName(QStringLiteral("compressionselection"));
    compressionselection_->setStatusTip(qs(f.hintOf("compressionselection")));
    compressionselection_->installEventFilter(this);
    compressionselection_->setMinimumWidth(
        comboWidthFor(compressionselection_, QString::fromLatin1(kWidestCompressionCaption)));
    connect(compressionselection_, &QComboBox::activated, this, [this](int i) {
        form_.compressionselection.userSelect(i);
        syncControls();
    });
    row->addWidget(
        makeLabel(app::MainForm::labelOf("compressionselection"), compressionselection_, client));
    row->addWidget(compressionselection_, 1);
    return row;
}

QPushButton* TForm1::buildOkButton(QWidget* client) {
    app::MainForm& f = form_;
    Button1_ = new QPushButton(qs(f.Button1.caption()), client);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setDefault(true);
    Button1_->setMinimumHeight(DesignScale::desktop().sy(40));
    QFont big = Button1_->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 2);
    Button1_->setFont(big);
    connect(Button1_, &QPushButton::clicked, this, [this] { form_.Button1.click(); });
    return Button1_;
}

StatusPanelView* TForm1::buildStatusPanel(QWidget* client) {
    Panel1_ = new StatusPanelView(client);
    Panel1_->setStatusTip(qs(form_.hintOf("Panel1")));
    return Panel1_;
}

void TForm1::connectModels() {
    app::MainForm& f = form_;
    onSignal(f.Panel1.written, this, [](TForm1* w) { w->syncStatus(); });
    onSignal(f.FileListBox1.viewChanged, this, [](TForm1* w) { w->syncPath(); });
    onSignal(f.lockselection.viewChanged, this, [](TForm1* w) { w->syncControls(); });
    onSignal(f.filename.viewChanged, this, [](TForm1* w) { w->syncControls(); });
    onSignal(f.compressionselection.viewChanged, this, [](TForm1* w) { w->syncControls(); });
    onSignal(f.Button1.viewChanged, this, [](TForm1* w) { w->syncControls(); });
    onSignal(f.labelsChanged, this, [](TForm1* w) { w->syncLabels(); });
    syncStatus();
    syncPath();
    syncLabels();
    syncControls();
}

void TForm1::syncStatus() {
    Panel1_->showText(qs(form_.Panel1.text()));
    // Shown at once during long commands, at most about every 20 ms (not
    // while the window is still being built).
    if (binding_) platform_.processPaintEvents();
}

void TForm1::syncPath() {
    const QString path = qs(form_.directory());
    const int width = DirectoryListBox1_->width() > 20 ? DirectoryListBox1_->width()
                                                       : DesignScale::desktop().sx(128);
    fullpathname_->setText(fullpathname_->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
    fullpathname_->setToolTip(path);
    // The file list's help text follows its mode (bitmaps or archives).
    FileListBox1_->setStatusTip(qs(form_.hintOf("FileListBox1")));
}

void TForm1::syncLabels() { Label5_->setText(qs(form_.Label5)); }

void TForm1::syncControls() {
    const app::MainForm& f = form_;
    lockselection_->setChecked(f.lockselection.checked());
    lockselection_->setEnabled(f.lockselection.enabled());
    if (filename_->text() != qs(f.filename.text())) filename_->setText(qs(f.filename.text()));
    syncChoice(compressionselection_, f.compressionselection);
    Button1_->setText(qs(f.Button1.caption()));
    Button1_->setEnabled(f.Button1.enabled());
}

QAction* TForm1::action(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* TForm1::menu(const std::string& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program: teardown, then every window.
    program_.teardown();
    event->accept();
    QApplication::quit();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // OK is the window's default button: Enter presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Button1_->isEnabled()) {
        Button1_->animateClick();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::MouseMove) {
        // The window's own surface: a cross left by a lost release ends.
        app::mainFormMouseMove(program_.pointer);
    } else if (watched == compressionselection_ && event->type() == QEvent::FocusIn) {
        form_.compressionselection.focusIn(focusMove(static_cast<QFocusEvent*>(event)->reason()));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from a dialog (the directory picker may have made folders).
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) DirectoryListBox1_->sync();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    syncPath();
}

}  // namespace quillet::ui
