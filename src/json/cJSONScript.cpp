#include "json/cJSONScript.h"

#include "json/cStringBuilder.h"
#include "json/json.h"
#include "json/lista.h"
#include "platform/errores.h"
#include "platform/operador.h"

namespace {

[[noreturn]] void objetoRequerido() { Raise(424, QStringLiteral("Object required")); }

// Numbers are written with "." whatever the regional settings, so that the
// template engine reads them alike everywhere.
QString numero(const Variant& v) { return v.toString().replace(u',', u'.'); }

// A value as text without running it: what "return" and the placeholders
// give. A list or object has no text of its own.
QString texto(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty: return {};
    case VarType::Null: return QStringLiteral("null");
    case VarType::Boolean: return *v.get<bool>() ? QStringLiteral("true") : QStringLiteral("false");
    case VarType::String:
    case VarType::Date: return v.toString();
    case VarType::Object: Raise(vberr::TypeMismatch, QStringLiteral("Type mismatch"));
    default: return numero(v);
    }
}

const Diccionario* comoDiccionario(const Variant& v)
{
    auto o = v.get<std::shared_ptr<VbObject>>();
    return o ? dynamic_cast<const Diccionario*>(o->get()) : nullptr;
}

const Lista* comoLista(const Variant& v)
{
    auto o = v.get<std::shared_ptr<VbObject>>();
    return o ? dynamic_cast<const Lista*>(o->get()) : nullptr;
}

// The depth goes back to its previous value however the call ends.
class Nivel {
public:
    explicit Nivel(std::int32_t& n) : n_(++n) {}
    ~Nivel() { --n_; }

private:
    std::int32_t& n_;
};

} // namespace

QString cJSONScript::Eval(const QString& sJSON)
{
    const std::shared_ptr<VbObject> raiz = JSON::LeerJSON(sJSON);
    if (!JSON::ErroresJSON().isEmpty() || !raiz) {
        operador().MsgBox(JSON::ErroresJSON(), estilo::Exclamation, QStringLiteral("Parser Error"));
        return {};
    }
    const auto* lista = dynamic_cast<const Lista*>(raiz.get());
    if (!lista)
        objetoRequerido();
    cStringBuilder salida;
    for (const Variant& v : *lista) {
        if (v.isNull())
            salida.Append(u"null");
        else if (v.type() == VarType::String || v.type() == VarType::Date)
            salida.Append(v.toString());
        else if (v.isObject())
            salida.Append(ExecCommand(v));
        else
            objetoRequerido();
    }
    return salida.toString();
}

QString cJSONScript::ExecCommand(const Variant& valor)
{
    if (nivel_ > kMaxNivel)
        return QStringLiteral("ERROR: Nesting level exceeded.");
    Nivel nivel(nivel_);
    switch (valor.type()) {
    case VarType::Empty: return {};
    case VarType::Null:
    case VarType::Boolean:
    case VarType::String:
    case VarType::Date: return texto(valor);
    case VarType::Object:
        if (const Lista* lista = comoLista(valor)) {
            cStringBuilder salida;
            for (const Variant& v : *lista)
                salida.Append(ExecCommand(v));
            return salida.toString();
        }
        if (const Diccionario* comando = comoDiccionario(valor))
            return Comando(*comando);
        return {};
    default: return numero(valor);
    }
}

QString cJSONScript::Comando(const Diccionario& comando)
{
    QString salida;
    for (const auto& [clave, valor] : comando)
        salida += Ejecuta(clave, valor);
    return salida;
}

QString cJSONScript::Ejecuta(const QString& clave, const Variant& valor)
{
    // A command given a text, or nothing, has no argument object: every
    // argument then reads as empty.
    const Diccionario* args = comoDiccionario(valor);
    auto arg = [&](const char16_t* nombre) -> const Variant& {
        static const Variant vacio;
        return args ? args->Item(QString::fromUtf16(nombre)) : vacio;
    };
    auto evalua = [&](const char16_t* nombre) { return ExecCommand(arg(nombre)); };

    const QString k = clave.toLower();
    if (k == u"alert") {
        const QString mensaje = evalua(u"message");
        operador().MsgBox(mensaje, estilo::Information, evalua(u"title"));
        return {};
    }
    if (k == u"input") {
        const QString prompt = evalua(u"prompt");
        const QString titulo = evalua(u"title");
        return operador().InputBox(prompt, titulo, evalua(u"default"));
    }
    if (k == u"set") {
        const QString nombre = evalua(u"name");
        variables_.Asigna(nombre, evalua(u"value"));
        return {};
    }
    if (k == u"get") {
        const QString r = ExecCommand(variables_.Item(evalua(u"name")));
        return r.isEmpty() ? evalua(u"default") : r;
    }
    if (k == u"if") {
        const QString v1 = evalua(u"value1");
        const QString v2 = evalua(u"value2");
        const QString tipo = evalua(u"type").toLower();
        bool cierto = false;
        if (tipo == u"eq")
            cierto = v1.compare(v2, Qt::CaseInsensitive) == 0;
        else if (tipo == u"gt")
            cierto = v1 > v2;
        else if (tipo == u"lt")
            cierto = v1 < v2;
        else if (tipo == u"gte")
            cierto = v1 >= v2;
        else if (tipo == u"lte")
            cierto = v1 <= v2;
        return evalua(cierto ? u"true" : u"false");
    }
    if (k == u"switch") {
        QString resultado = evalua(u"default");
        const QString caso = evalua(u"case").toLower();
        const Lista* items = comoLista(arg(u"items"));
        if (!items)
            objetoRequerido();
        for (const Variant& v : *items) {
            const Diccionario* item = comoDiccionario(v);
            if (!item)
                objetoRequerido();
            if (ExecCommand(item->Item(QStringLiteral("case"))).toLower() == caso) {
                resultado = ExecCommand(item->Item(QStringLiteral("return")));
                break;
            }
        }
        return resultado;
    }
    if (k == u"return")
        return texto(valor);

    QString argumentos;
    if (args) {
        QStringList partes;
        for (const auto& [nombre, v] : *args)
            partes << texto(v);
        argumentos = partes.join(u',');
    } else if (valor.type() == VarType::String) {
        argumentos = valor.toString();
    }
    return QStringLiteral("<%") + clave.toUpper() + u'(' + argumentos + QStringLiteral(")%>");
}
