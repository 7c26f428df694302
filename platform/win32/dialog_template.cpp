#include "dialog_template.h"

namespace {

// The predefined window classes, by their atoms.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

class TemplateWriter {
public:
    void Word(int value) { m_words.push_back(static_cast<WORD>(value)); }
    void Dword(DWORD value)
    {
        Word(static_cast<int>(value & 0xFFFF));
        Word(static_cast<int>(value >> 16));
    }
    void Text(const char* text)
    {
        const char* source = text ? text : "";
        const int length = ::MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, source, -1, wide.data(), length);
        for (wchar_t character : wide)
            Word(character);
    }
    void Atom(WORD atom)
    {
        Word(0xFFFF);
        Word(atom);
    }
    void AlignToDword()
    {
        if (m_words.size() % 2)
            Word(0);
    }
    std::vector<WORD> Words() && { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

void WriteClass(TemplateWriter& writer, DialogControlClass controlClass)
{
    switch (controlClass) {
    case DialogControlClass::ListView:
        writer.Text(WC_LISTVIEWA);
        break;
    case DialogControlClass::Static:
        writer.Atom(kStaticAtom);
        break;
    case DialogControlClass::Edit:
        writer.Atom(kEditAtom);
        break;
    case DialogControlClass::Button:
        writer.Atom(kButtonAtom);
        break;
    }
}

void WriteItem(TemplateWriter& writer, const DialogItemTemplate& item)
{
    writer.AlignToDword();
    writer.Dword(item.style);
    writer.Dword(0);
    writer.Word(item.x);
    writer.Word(item.y);
    writer.Word(item.cx);
    writer.Word(item.cy);
    writer.Word(static_cast<int>(item.id));
    WriteClass(writer, item.controlClass);
    writer.Text(item.text);
    writer.Word(0);
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialogTemplate)
{
    TemplateWriter writer;
    writer.Dword(dialogTemplate.style & ~WS_VISIBLE);
    writer.Dword(dialogTemplate.exStyle);
    writer.Word(dialogTemplate.itemCount);
    writer.Word(dialogTemplate.x);
    writer.Word(dialogTemplate.y);
    writer.Word(dialogTemplate.cx);
    writer.Word(dialogTemplate.cy);
    writer.Word(0);
    writer.Word(0);
    writer.Text(dialogTemplate.caption);
    if (dialogTemplate.style & DS_SETFONT) {
        writer.Word(dialogTemplate.fontPointSize);
        writer.Text(dialogTemplate.fontName);
    }
    for (int i = 0; i < dialogTemplate.itemCount; ++i)
        WriteItem(writer, dialogTemplate.items[i]);
    return std::move(writer).Words();
}
