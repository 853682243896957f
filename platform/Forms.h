// Windows of the program: one process-wide instance per window class, loaded on first
// use, shown modeless or modal, and unloaded through the query-unload/unload handlers.
#pragma once

#include "platform/VbConstants.h"

#include <QPointer>
#include <QWidget>

#include <QList>
#include <QString>

#include <functional>
#include <typeindex>

// Base of every window. The constructor builds the controls; Form_Load runs the
// window's own loading once the instance is registered (so Forms::Get inside
// Form_Load returns the window being loaded).
class VForm : public QWidget
{
    Q_OBJECT
public:
    explicit VForm(QWidget* parent = nullptr);
    ~VForm() override;

    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode) { Q_UNUSED(Cancel) Q_UNUSED(UnloadMode) }
    virtual void Form_Unload(int& Cancel) { Q_UNUSED(Cancel) }
    virtual void Form_Resize() {}

    // Shows the window; vbModal runs it through the ModalRunner and returns when the
    // window is hidden or unloaded.
    void Show(int Modal = vbModeless, QWidget* OwnerForm = nullptr);
    void Hide();
    bool IsShownModal() const { return m_modalDepth > 0; }

    int WindowState() const;
    void SetWindowState(int state);

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& text) { setWindowTitle(text); }

    // Outer geometry in twips.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetWidth(int twips);
    void SetHeight(int twips);
    void Move(int leftTwips, int topTwips);

    // Runs while unloading, after the handlers agreed: the window is gone from the
    // registry and will be deleted when control returns to the event loop.
    bool IsUnloading() const { return m_unloading; }

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ModalRunner;
    friend struct FormsAccess;
    int m_modalDepth = 0;
    bool m_unloading = false;
    bool m_loaded = false;
};

namespace Forms {

VForm* find(std::type_index type);
void registerForm(std::type_index type, VForm* form);
void loadForm(VForm* form);

// A kind of window the program opens: its class name and how to get its instance.
struct Kind {
    QString name;
    VForm* (*get)();
};

// Every kind of window the program can open, each once, in no set order. A window class
// is listed by the program's own use of Get with it, so a check over every window (the
// tests' look at clipped texts) finds a window added later without being told of it.
QList<Kind> Kinds();
bool addKind(std::type_index type, const char* name, VForm* (*get)());

template <class T>
T* Get();

template <class T>
inline const bool kKindListed = addKind(typeid(T), T::staticMetaObject.className(), [] { return static_cast<VForm*>(Get<T>()); });

// The loaded instance, created and loaded (hidden) on first use.
template <class T>
T* Get()
{
    (void)kKindListed<T>;
    if (auto* f = find(typeid(T)))
        return static_cast<T*>(f);
    auto* f = new T();
    registerForm(typeid(T), f);
    loadForm(f);
    return static_cast<T*>(find(typeid(T)));
}

// The loaded instance or nullptr, without loading.
template <class T>
T* Loaded()
{
    return static_cast<T*>(find(typeid(T)));
}

template <class T>
bool IsLoaded()
{
    return find(typeid(T)) != nullptr;
}

// Unloads a window: Form_QueryUnload, then Form_Unload; either may cancel. On success
// the window is hidden, forgotten and deleted later (never under a running handler).
bool Unload(VForm* form, int unloadMode = vbFormCode);

template <class T>
bool Unload()
{
    auto* f = find(typeid(T));
    return f ? Unload(f, vbFormCode) : true;
}

// Every loaded window, oldest first.
QList<VForm*> LoadedForms();

// Tests: forget and delete every window at once, without handlers.
void DestroyAll();

} // namespace Forms
