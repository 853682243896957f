#include "platform/Forms.h"

#include "platform/App.h"
#include "platform/ModalRunner.h"
#include "platform/Services.h"
#include "platform/TextFit.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QWindow>

#include <cmath>
#include <vector>

namespace {

struct Entry {
    std::type_index type;
    QPointer<VForm> form;
};

struct KindEntry {
    std::type_index type;
    Forms::Kind kind;
};

std::vector<KindEntry>& kinds()
{
    static std::vector<KindEntry> k;
    return k;
}

std::vector<Entry>& registry()
{
    static std::vector<Entry> r;
    return r;
}

void forget(VForm* form)
{
    auto& r = registry();
    for (auto it = r.begin(); it != r.end(); ++it) {
        if (it->form == form) {
            r.erase(it);
            return;
        }
    }
}

} // namespace

VForm::VForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

VForm::~VForm()
{
    forget(this);
}

void VForm::Show(int Modal, QWidget* OwnerForm)
{
    if (OwnerForm && windowHandle() == nullptr)
        winId();
    if (OwnerForm && windowHandle() && OwnerForm->window()->windowHandle())
        windowHandle()->setTransientParent(OwnerForm->window()->windowHandle());
    if (Modal == vbModal) {
        Services::modal().run(this);
        return;
    }
    show();
    if (!HeadlessPlatform())
        raise();
}

void VForm::Hide()
{
    hide();
}

int VForm::WindowState() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return vbMinimized;
    if (s & Qt::WindowMaximized)
        return vbMaximized;
    return vbNormal;
}

void VForm::SetWindowState(int state)
{
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == vbMinimized)
        s |= Qt::WindowMinimized;
    else if (state == vbMaximized)
        s |= Qt::WindowMaximized;
    setWindowState(s);
}

// Sizes are those of the window itself; the desktop's frame comes on top of them, so a
// stored size reads back the same whether the window was shown or not.
int VForm::Left() const { return geometry().x() * kTwipsPerPixel; }
int VForm::Top() const { return geometry().y() * kTwipsPerPixel; }
int VForm::Width() const { return width() * kTwipsPerPixel; }
int VForm::Height() const { return height() * kTwipsPerPixel; }

void VForm::SetWidth(int twips)
{
    resize(qMax(1, static_cast<int>(std::nearbyint(twips / double(kTwipsPerPixel)))), height());
}

void VForm::SetHeight(int twips)
{
    resize(width(), qMax(1, static_cast<int>(std::nearbyint(twips / double(kTwipsPerPixel)))));
}

void VForm::Move(int leftTwips, int topTwips)
{
    move(static_cast<int>(std::nearbyint(leftTwips / double(kTwipsPerPixel))),
         static_cast<int>(std::nearbyint(topTwips / double(kTwipsPerPixel))));
}

void VForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Texts set while the window was hidden get their room before the user sees them.
    FitTextsToControls(this);
}

void VForm::closeEvent(QCloseEvent* event)
{
    // The close box unloads through the handlers; they decide whether it goes.
    event->ignore();
    if (!m_unloading)
        Forms::Unload(this, vbFormControlMenu);
}

void VForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_loaded)
        Form_Resize();
}

struct FormsAccess {
    static void setLoaded(VForm* f) { f->m_loaded = true; }
    static void setUnloading(VForm* f) { f->m_unloading = true; }
};

namespace Forms {

VForm* find(std::type_index type)
{
    for (const Entry& e : registry())
        if (e.type == type && e.form && !e.form->IsUnloading())
            return e.form;
    return nullptr;
}

void registerForm(std::type_index type, VForm* form)
{
    registry().push_back(Entry{type, form});
}

void loadForm(VForm* form)
{
    QPointer<VForm> guard(form);
    form->Form_Load();
    if (!guard)
        return;
    FormsAccess::setLoaded(form);
    // The positions were worked out for another desktop's font: every text gets the room
    // it needs in this one.
    FitTextsToControls(form);
}

bool Unload(VForm* form, int unloadMode)
{
    if (!form || form->IsUnloading())
        return true;
    int cancel = 0;
    form->Form_QueryUnload(cancel, unloadMode);
    if (cancel)
        return false;
    form->Form_Unload(cancel);
    if (cancel)
        return false;
    FormsAccess::setUnloading(form);
    forget(form);
    form->hide();
    emit form->unloaded();
    form->deleteLater();
    return true;
}

bool addKind(std::type_index type, const char* name, VForm* (*get)())
{
    for (const KindEntry& e : kinds())
        if (e.type == type)
            return true;
    kinds().push_back(KindEntry{type, Kind{QString::fromLatin1(name), get}});
    return true;
}

QList<Kind> Kinds()
{
    QList<Kind> out;
    for (const KindEntry& e : kinds())
        out.append(e.kind);
    return out;
}

QList<VForm*> LoadedForms()
{
    QList<VForm*> out;
    for (const Entry& e : registry())
        if (e.form && !e.form->IsUnloading())
            out.append(e.form);
    return out;
}

void DestroyAll()
{
    const auto entries = registry();
    registry().clear();
    for (const Entry& e : entries)
        delete e.form.data();
}

} // namespace Forms
