// dialog_ui.cpp - the modal loop: the dialog drawn with Dear ImGui in an OpenGL context of its own
// on the owner's window, the keyboard focus with Win32's keys, and the owner's messages meanwhile.
// Depends on: Dear ImGui with its SDL2 and OpenGL 3 back ends, SDL2, libepoxy, the window layer.
#include <SDL.h>
#include <epoxy/gl.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>

#include <algorithm>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/dialog/dialog_internal.h"
#include "platform/window/sdl_window.h"

namespace velunar::dialog {
namespace {

// The face and size the dialog's text is set in (fonts-dejavu-core); ImGui's own font otherwise.
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr float kFontPixels = 15.0f;
// How long the loop sleeps waiting for input before it draws again anyway, in milliseconds.
constexpr int kIdleWaitMs = 30;

struct KeyPress {
    SDL_Keycode key;
    bool shift;
    bool alt;
};

// The events of the one modal loop that runs at a time.
std::vector<KeyPress>* g_keys = nullptr;

void Observe(const SDL_Event& e) {
    ImGui_ImplSDL2_ProcessEvent(&e);
    if (e.type == SDL_KEYDOWN && g_keys)
        g_keys->push_back({e.key.keysym.sym, (e.key.keysym.mod & KMOD_SHIFT) != 0, (e.key.keysym.mod & KMOD_ALT) != 0});
}

bool IsStatic(const Control& c) {
    return c.item->kind == DialogItemKind::GroupBox || c.item->kind == DialogItemKind::Label;
}

bool IsPushButton(const Control& c) {
    return c.item->kind == DialogItemKind::PushButton || c.item->kind == DialogItemKind::DefPushButton;
}

// The OpenGL context and ImGui state for one modal loop; the caller's context is current again
// afterwards.
class Surface {
public:
    explicit Surface(SDL_Window* window) : m_window(window) {
        m_prevWindow = SDL_GL_GetCurrentWindow();
        m_prevContext = SDL_GL_GetCurrentContext();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        m_context = SDL_GL_CreateContext(window);
        if (!m_context) return;
        SDL_GL_MakeCurrent(window, m_context);
        SDL_GL_SetSwapInterval(1);

        IMGUI_CHECKVERSION();
        m_imgui = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        // Nothing of the dialog is written to disk.
        io.IniFilename = nullptr;
        io.LogFilename = nullptr;
        struct stat st {};
        if (stat(kFontFile, &st) == 0) io.Fonts->AddFontFromFileTTF(kFontFile, kFontPixels);
        Style();
        m_ok = ImGui_ImplSDL2_InitForOpenGL(window, m_context) && ImGui_ImplOpenGL3_Init("#version 330 core");
    }
    ~Surface() {
        if (m_imgui) {
            ImGui_ImplOpenGL3_Shutdown();
            ImGui_ImplSDL2_Shutdown();
            ImGui::DestroyContext(m_imgui);
        }
        if (m_context) {
            SDL_GL_MakeCurrent(m_window, nullptr);
            SDL_GL_DeleteContext(m_context);
        }
        if (m_prevContext) SDL_GL_MakeCurrent(m_prevWindow, m_prevContext);
    }
    bool ok() const { return m_context && m_ok; }

private:
    static void Style() {
        ImGui::StyleColorsDark();
        ImGuiStyle& s = ImGui::GetStyle();
        s.WindowRounding = 4.0f;
        s.FrameRounding = 3.0f;
        s.PopupRounding = 3.0f;
        s.GrabRounding = 3.0f;
        s.WindowBorderSize = 1.0f;
        s.FrameBorderSize = 1.0f;
        s.FramePadding = ImVec2(8.0f, 4.0f);
        s.WindowPadding = ImVec2(0.0f, 0.0f);
        s.ItemInnerSpacing = ImVec2(7.0f, 4.0f);
        s.WindowTitleAlign = ImVec2(0.0f, 0.5f);
        ImVec4* c = s.Colors;
        c[ImGuiCol_WindowBg] = ImVec4(0.13f, 0.14f, 0.16f, 1.0f);
        c[ImGuiCol_PopupBg] = ImVec4(0.16f, 0.17f, 0.20f, 1.0f);
        c[ImGuiCol_Border] = ImVec4(0.36f, 0.38f, 0.44f, 1.0f);
        c[ImGuiCol_TitleBg] = ImVec4(0.20f, 0.29f, 0.45f, 1.0f);
        c[ImGuiCol_TitleBgActive] = ImVec4(0.20f, 0.29f, 0.45f, 1.0f);
        c[ImGuiCol_FrameBg] = ImVec4(0.19f, 0.20f, 0.23f, 1.0f);
        c[ImGuiCol_FrameBgHovered] = ImVec4(0.25f, 0.27f, 0.32f, 1.0f);
        c[ImGuiCol_FrameBgActive] = ImVec4(0.28f, 0.31f, 0.37f, 1.0f);
        c[ImGuiCol_Button] = ImVec4(0.24f, 0.26f, 0.30f, 1.0f);
        c[ImGuiCol_ButtonHovered] = ImVec4(0.31f, 0.34f, 0.40f, 1.0f);
        c[ImGuiCol_ButtonActive] = ImVec4(0.36f, 0.40f, 0.48f, 1.0f);
        c[ImGuiCol_Header] = ImVec4(0.26f, 0.42f, 0.66f, 1.0f);
        c[ImGuiCol_HeaderHovered] = ImVec4(0.30f, 0.48f, 0.74f, 1.0f);
        c[ImGuiCol_HeaderActive] = ImVec4(0.30f, 0.48f, 0.74f, 1.0f);
        c[ImGuiCol_CheckMark] = ImVec4(0.55f, 0.75f, 1.0f, 1.0f);
    }

    SDL_Window* m_window;
    SDL_Window* m_prevWindow = nullptr;
    SDL_GLContext m_prevContext = nullptr;
    SDL_GLContext m_context = nullptr;
    ImGuiContext* m_imgui = nullptr;
    bool m_ok = false;
};

const ImU32 kFocusColour = IM_COL32(140, 190, 255, 255);
const ImU32 kGroupColour = IM_COL32(92, 97, 112, 255);

// What the user did during one frame, carried out once the frame is drawn.
struct Action {
    enum Kind { None, Click, Choose } kind = None;
    HWND hwnd = nullptr;
    int index = 0;
};

class ModalLoop {
public:
    ModalLoop(Dialog& d) : m_dialog(d), m_hwnd(d.hwnd) {
        for (std::size_t i = 0; i < d.controls.size(); ++i)
            if (!IsStatic(*d.controls[i])) {
                m_focus = static_cast<int>(i);
                break;
            }
    }

    void Frame(SDL_Window* window, const std::vector<KeyPress>& keys) {
        Action action;
        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        if (m_closePopups) ImGui::ClosePopupsExceptModals();
        m_closePopups = false;
        const bool popupOpen = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
        Draw(action);
        ImGui::Render();
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        glViewport(0, 0, w, h);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window);

        Apply(action);
        // An open drop-down list keeps the keys to itself: Escape or Return just close it.
        if (popupOpen) {
            for (const KeyPress& k : keys)
                if (k.key == SDLK_ESCAPE || k.key == SDLK_RETURN || k.key == SDLK_KP_ENTER) m_closePopups = true;
            return;
        }
        for (const KeyPress& k : keys) {
            if (!FindDialog(m_hwnd) || m_dialog.ended) return;
            Key(k);
        }
    }

private:
    Control* Focused() {
        return m_focus >= 0 && m_focus < static_cast<int>(m_dialog.controls.size()) ? m_dialog.controls[m_focus].get()
                                                                                   : nullptr;
    }

    // The tab stops in order: every button and combo box, and one stop per radio group (its
    // checked button, else its first).
    std::vector<int> Stops() {
        std::vector<int> stops;
        const auto& cs = m_dialog.controls;
        for (std::size_t i = 0; i < cs.size(); ++i) {
            const Control& c = *cs[i];
            if (IsStatic(c)) continue;
            if (c.item->kind == DialogItemKind::RadioButton) {
                if (i > 0 && cs[i - 1]->group == c.group) continue;
                int stop = static_cast<int>(i);
                for (std::size_t j = i; j < cs.size() && cs[j]->group == c.group; ++j)
                    if (cs[j]->check == BST_CHECKED) stop = static_cast<int>(j);
                stops.push_back(stop);
            } else {
                stops.push_back(static_cast<int>(i));
            }
        }
        return stops;
    }

    void MoveFocus(int step) {
        const std::vector<int> stops = Stops();
        if (stops.empty()) return;
        int at = 0;
        const Control* f = Focused();
        for (std::size_t i = 0; i < stops.size(); ++i) {
            const Control& s = *m_dialog.controls[stops[i]];
            if (stops[i] == m_focus || (f && f->group >= 0 && s.group == f->group)) at = static_cast<int>(i);
        }
        const int n = static_cast<int>(stops.size());
        m_focus = stops[((at + step) % n + n) % n];
    }

    // Arrows inside a radio group move to the next button of the group and check it.
    void StepRadio(int step) {
        const Control* f = Focused();
        std::vector<int> members;
        for (std::size_t i = 0; i < m_dialog.controls.size(); ++i)
            if (m_dialog.controls[i]->group == f->group) members.push_back(static_cast<int>(i));
        const int n = static_cast<int>(members.size());
        const int at = static_cast<int>(std::find(members.begin(), members.end(), m_focus) - members.begin());
        m_focus = members[((at + step) % n + n) % n];
        UserClick(m_dialog.controls[m_focus]->hwnd);
    }

    HWND DefaultButton() {
        for (auto& c : m_dialog.controls)
            if (c->item->kind == DialogItemKind::DefPushButton) return c->hwnd;
        return GetDlgItem(m_hwnd, IDOK);
    }

    void Key(const KeyPress& k) {
        Control* f = Focused();
        const DialogItemKind kind = f ? f->item->kind : DialogItemKind::Label;
        switch (k.key) {
            case SDLK_TAB:
                MoveFocus(k.shift ? -1 : 1);
                break;
            case SDLK_UP:
            case SDLK_LEFT:
            case SDLK_DOWN:
            case SDLK_RIGHT: {
                const int step = k.key == SDLK_UP || k.key == SDLK_LEFT ? -1 : 1;
                if (kind == DialogItemKind::RadioButton)
                    StepRadio(step);
                else if (kind == DialogItemKind::ComboBox)
                    UserChooseEntry(f->hwnd, std::clamp(f->selection + step, 0,
                                                        std::max(0, static_cast<int>(f->entries.size()) - 1)));
                else
                    MoveFocus(step);
                break;
            }
            case SDLK_SPACE:
                if (f && (IsPushButton(*f) || kind == DialogItemKind::RadioButton)) UserClick(f->hwnd);
                break;
            case SDLK_RETURN:
            case SDLK_KP_ENTER:
                // The focused push button, else the default one.
                if (f && IsPushButton(*f))
                    UserClick(f->hwnd);
                else if (HWND def = DefaultButton())
                    UserClick(def);
                else
                    SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                break;
            case SDLK_ESCAPE:
                SendMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(m_hwnd, IDCANCEL)));
                break;
            default:
                break;
        }
    }

    void Apply(const Action& a) {
        if (a.kind == Action::Click) UserClick(a.hwnd);
        if (a.kind == Action::Choose) UserChooseEntry(a.hwnd, a.index);
    }

    void GroupBox(const ImVec2& origin, const DialogItemTemplate& it) {
        ImDrawList* dl = ImGui::GetWindowDrawList();
        const float fh = ImGui::GetFontSize();
        const ImVec2 a(origin.x + it.x, origin.y + it.y + fh * 0.5f);
        const ImVec2 b(origin.x + it.x + it.cx, origin.y + it.y + it.cy);
        const ImVec2 textSize = ImGui::CalcTextSize(it.text);
        const float tx = a.x + 10.0f;
        // The frame, broken where the caption sits on its top edge.
        dl->AddLine(a, ImVec2(tx - 4.0f, a.y), kGroupColour);
        dl->AddLine(ImVec2(tx + textSize.x + 4.0f, a.y), ImVec2(b.x, a.y), kGroupColour);
        dl->AddLine(ImVec2(b.x, a.y), b, kGroupColour);
        dl->AddLine(ImVec2(a.x, b.y), b, kGroupColour);
        dl->AddLine(a, ImVec2(a.x, b.y), kGroupColour);
        dl->AddText(ImVec2(tx, origin.y + it.y), ImGui::GetColorU32(ImGuiCol_Text), it.text);
    }

    void Draw(Action& action) {
        const ImGuiViewport* vp = ImGui::GetMainViewport();
        const DialogTemplate& t = *m_dialog.tmpl;
        const float titleH = ImGui::GetFontSize() + ImGui::GetStyle().FramePadding.y * 2.0f;
        const ImVec2 size(static_cast<float>(t.cx), t.cy + titleH);
        ImGui::SetNextWindowPos(ImVec2(vp->WorkPos.x + (vp->WorkSize.x - size.x) * 0.5f,
                                       vp->WorkPos.y + (vp->WorkSize.y - size.y) * 0.5f));
        ImGui::SetNextWindowSize(size);
        const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                       ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                                       ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse;
        ImGui::Begin((std::string(t.title) + "###dialog").c_str(), nullptr, flags);
        const ImVec2 origin(ImGui::GetWindowPos().x, ImGui::GetWindowPos().y + titleH);
        const ImVec2 local(0.0f, titleH);

        for (std::size_t i = 0; i < m_dialog.controls.size(); ++i) {
            Control& c = *m_dialog.controls[i];
            const DialogItemTemplate& it = *c.item;
            ImGui::PushID(static_cast<int>(i));
            ImGui::SetCursorPos(ImVec2(local.x + it.x, local.y + it.y));
            bool drawn = true;
            switch (it.kind) {
                case DialogItemKind::GroupBox:
                    GroupBox(origin, it);
                    drawn = false;
                    break;
                case DialogItemKind::Label:
                    ImGui::TextUnformatted(it.text);
                    drawn = false;
                    break;
                case DialogItemKind::RadioButton:
                    if (ImGui::RadioButton(it.text, c.check == BST_CHECKED)) action = {Action::Click, c.hwnd, 0};
                    break;
                case DialogItemKind::PushButton:
                case DialogItemKind::DefPushButton: {
                    const bool def = it.kind == DialogItemKind::DefPushButton;
                    if (def) {
                        ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.22f, 0.38f, 0.62f, 1.0f));
                        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImVec4(0.27f, 0.45f, 0.72f, 1.0f));
                        ImGui::PushStyleColor(ImGuiCol_ButtonActive, ImVec4(0.31f, 0.50f, 0.80f, 1.0f));
                    }
                    if (ImGui::Button(it.text, ImVec2(static_cast<float>(it.cx), static_cast<float>(it.cy))))
                        action = {Action::Click, c.hwnd, 0};
                    if (def) ImGui::PopStyleColor(3);
                    break;
                }
                case DialogItemKind::ComboBox: {
                    ImGui::SetNextItemWidth(static_cast<float>(it.cx));
                    const bool any = c.selection >= 0 && c.selection < static_cast<int>(c.entries.size());
                    const char* preview = any ? c.entries[c.selection].c_str() : "";
                    if (ImGui::BeginCombo("##combo", preview, ImGuiComboFlags_HeightLarge)) {
                        for (std::size_t e = 0; e < c.entries.size(); ++e) {
                            ImGui::PushID(static_cast<int>(e));
                            const bool selected = static_cast<int>(e) == c.selection;
                            if (ImGui::Selectable(c.entries[e].c_str(), selected))
                                action = {Action::Choose, c.hwnd, static_cast<int>(e)};
                            if (selected) ImGui::SetItemDefaultFocus();
                            ImGui::PopID();
                        }
                        ImGui::EndCombo();
                    }
                    break;
                }
            }
            if (drawn) {
                // A click takes the focus, as on Win32.
                if (ImGui::IsItemActivated()) m_focus = static_cast<int>(i);
                if (m_focus == static_cast<int>(i)) {
                    ImVec2 a = ImGui::GetItemRectMin(), b = ImGui::GetItemRectMax();
                    ImGui::GetWindowDrawList()->AddRect(ImVec2(a.x - 3.0f, a.y - 2.0f), ImVec2(b.x + 3.0f, b.y + 2.0f),
                                                        kFocusColour, 3.0f, 0, 1.5f);
                }
            }
            ImGui::PopID();
        }
        ImGui::End();
    }

    Dialog& m_dialog;
    HWND m_hwnd;
    int m_focus = -1;
    bool m_closePopups = false;
};

}  // namespace

bool RunModal(HWND hDlg) {
    Dialog* d = FindDialog(hDlg);
    if (!d) return false;
    SDL_Window* window = velunar::window::GetSdlWindow(d->owner);
    if (!window) return false;
    Surface surface(window);
    if (!surface.ok()) return false;
    // The pointer shows over the dialog whatever the owner did with it.
    const HCURSOR ownerCursor = SetCursor(LoadCursorA(nullptr, IDC_ARROW));

    std::vector<KeyPress> keys;
    g_keys = &keys;
    velunar::window::SetEventObserver(Observe);
    ModalLoop loop(*d);
    const HWND owner = d->owner;
    while ((d = FindDialog(hDlg)) && !d->ended) {
        SDL_WaitEventTimeout(nullptr, kIdleWaitMs);
        keys.clear();
        // Posted messages go on to their windows, except that closing the owner (or the dialog)
        // is the dialog's Cancel. The owner's idle paint is where the queue runs dry.
        MSG m{};
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_PAINT) {
            if (m.message == WM_SETCURSOR && m.hwnd == owner) {
                // The pointer is over the dialog, not the owner.
            } else if (m.message == WM_CLOSE && (m.hwnd == owner || m.hwnd == hDlg)) {
                SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else if (m.message == WM_QUIT) {
                // Leaves the loop; the quit stays for the caller's loop.
                PostQuitMessage(static_cast<int>(m.wParam));
                EndDialog(hDlg, 0);
                break;
            } else {
                DispatchMessageA(&m);
            }
            if (!FindDialog(hDlg) || FindDialog(hDlg)->ended) break;
        }
        if (!(d = FindDialog(hDlg)) || d->ended) break;
        loop.Frame(window, keys);
    }
    velunar::window::SetEventObserver(nullptr);
    g_keys = nullptr;
    SetCursor(ownerCursor);
    return true;
}

}  // namespace velunar::dialog
