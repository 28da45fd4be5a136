#include "app/win32/WindowsServices.h"

#include "win/CommonDialogs.h"

namespace {

class WindowMessageBoxes final : public qb::MessageBoxes
{
public:
    explicit WindowMessageBoxes(const HWND& owner) : m_owner(owner) {}

    void tell(const std::string& text) override { win::showMessage(text, MB_OK, m_owner); }

    Answer ask(const std::string& question, Question kind) override
    {
        UINT type = MB_YESNO | MB_ICONQUESTION;
        if (kind == Question::NoFirst)
            type |= MB_DEFBUTTON2;
        else if (kind == Question::Warning)
            type = MB_YESNO | MB_ICONWARNING;
        switch (win::showMessage(question, type, m_owner)) {
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        default: return Answer::None;
        }
    }

private:
    const HWND& m_owner;
};

}  // namespace

WindowsServices::WindowsServices()
    : m_system(qb::makeSystemServices()), m_messages(std::make_unique<WindowMessageBoxes>(m_owner)),
      m_services{*m_system.files, *m_system.browsers, *m_system.directory, *m_system.links, *m_system.settings,
                 m_shell,         m_prompts,          *m_messages,         m_secrets,       m_programs}
{}

WindowsServices::~WindowsServices() = default;
