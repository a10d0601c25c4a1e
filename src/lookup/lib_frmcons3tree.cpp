#include "lookup/lib_frmcons3tree.h"

#include "db/db_dll.h"
#include "diag/registra_error.h"
#include "lookup/filtro_busqueda.h"
#include "lookup/modelo_arbol.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

namespace {

const QString Raiz = QStringLiteral("A");

Rutina Pregunta(const QString& rutina)
{
    return Rutina::Preguntar([rutina](const VbError& e) { return RegistraError(e, std::nullopt, rutina); });
}

QString Texto(const Variant& v) { return FuncionesGenerales().FormateaValor(v); }

// The tree view's own errors for a node it cannot add.
constexpr std::int32_t ElementoNoHallado = 35601, ClaveRepetida = 35602, ClaveInvalida = 35603;

// Adds the row's node under padre, or raises why the row cannot be a node:
// no code, a code already in the tree.
int AgregaNodo(ModeloArbol& m, int padre, const std::vector<Variant>& fila)
{
    const QString codigo = fila.empty() ? QString() : Texto(fila[0]);
    const QString descripcion = fila.size() > 1 ? Texto(fila[1]) : QString();
    if (vb::Trim(codigo).isEmpty())
        Raise(ClaveInvalida, QStringLiteral("Invalid key: a row without a code (") + descripcion + u')');
    const int n = m.Agrega(padre, Raiz + codigo, codigo + QStringLiteral(" - ") + descripcion);
    if (n < 0)
        Raise(ClaveRepetida, QStringLiteral("Key is not unique in collection: ") + codigo);
    return n;
}

// The statement of the families tree: each family with its "relative", the
// greatest shorter code below it, which is its parent in the coding scheme.
QString SentenciaFamilias()
{
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ")
        + QStringLiteral("(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  ")
        + QStringLiteral(" Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia)))) ")
        + QStringLiteral(" ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");
}

} // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QObject* parent)
    : FormularioConsulta(parent), CmbSearch(std::make_unique<CajaBusqueda>()), modelo_(new ModeloArbol(this))
{
    modelo_->alMarcar = [this](int n) { TreeV_NodeCheck(n); };
    connect(CmbSearch.get(), &CajaTexto::textChanged, this, [this] {
        if (!vaciando_)
            CmbSearch_Change();
    });
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

void Lib_FrmCons3Tree::Form_Load()
{
    Rutina r = Pregunta(QStringLiteral("FORM_LOAD"));
    r.paso([&] {
        if (!cargada_) {
            primeraSentencia_ = sql;
            cargada_ = true;
        }
        modelo_->checkBoxes = CheckBoxes;
    });
    r.paso([&] {
        if (vb::Contiene(sql, u"v_ta_familias"))
            ArmarTreeVFamilias();
        else
            ArmarTreeVAutomatico();
    });
}

std::vector<std::vector<Variant>> Lib_FrmCons3Tree::leeFilas(Rutina& r)
{
    DB_Dll& db = DB();
    ado::Recordset rs;
    std::vector<std::vector<Variant>> filas;
    r.paso([&] { modelo_->Reinicia(Raiz, QStringLiteral("Consulta...")); });
    r.paso([&] { db.AbrirRecordset(sql, rs); });
    r.paso([&] {
        if (rs.State() != ado::adStateClosed)
            filas = rs.GetRows();
    });
    r.paso([&] { db.CierraRecordset(rs); });
    return filas;
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias()
{
    Rutina r = Pregunta(QStringLiteral("ArmarTreeVFamilias"));
    r.paso([&] { sql = SentenciaFamilias(); });
    const std::vector<std::vector<Variant>> filas = leeFilas(r);
    // One step a row: the operator may go on past a row that makes no node.
    int actual = 0;
    for (size_t i = 0; i < filas.size() && !r.salio();) {
        const std::vector<Variant>& fila = filas[i];
        const QString clave = Raiz + (fila.empty() ? QString() : Texto(fila[0]));
        if (clave.size() < modelo_->NodoEn(actual).clave.size()) {
            actual = modelo_->NodoEn(actual).padre;
            continue;
        }
        r.paso([&] {
            const Variant& relativo = fila.size() > 2 ? fila[2] : Variant::Null();
            int padre = 0;
            if (!relativo.isNull() && !relativo.isEmpty()) {
                padre = modelo_->Busca(Raiz + Texto(relativo));
                if (padre < 0)
                    Raise(ElementoNoHallado, QStringLiteral("Element not found: the family ") + Texto(relativo)
                                                 + QStringLiteral(" above ") + Texto(fila[0]));
            }
            actual = AgregaNodo(*modelo_, padre, fila);
        });
        ++i;
    }
    modelo_->Termina();
    emit cambiada();
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico()
{
    Rutina r = Pregunta(QStringLiteral("ArmarTreeVAutomatico"));
    const std::vector<std::vector<Variant>> filas = leeFilas(r);
    for (size_t i = 0; i < filas.size() && !r.salio(); ++i)
        r.paso([&] {
            const QString clave = Raiz + (filas[i].empty() ? QString() : Texto(filas[i][0]));
            // The parent is the node with the longest key that begins the new
            // one: each shorter beginning is looked up once, never every node.
            int padre = 0;
            for (qsizetype largo = clave.size() - 1; largo > 1; --largo) {
                const int p = modelo_->Busca(clave.left(largo));
                if (p >= 0) {
                    padre = p;
                    break;
                }
            }
            AgregaNodo(*modelo_, padre, filas[i]);
        });
    modelo_->Termina();
    emit cambiada();
}

int Lib_FrmCons3Tree::NodoSeleccionado() const { return modelo_->NodoDe(Seleccion()); }

void Lib_FrmCons3Tree::SeleccionaNodo(int nodo) { Selecciona(nodo < 0 ? QModelIndex() : modelo_->IndiceDe(nodo)); }

QString Lib_FrmCons3Tree::TextoSeleccionado() const
{
    const int n = NodoSeleccionado();
    return n >= 0 ? modelo_->NodoEn(n).texto : QString();
}

void Lib_FrmCons3Tree::CmbSearch_Change()
{
    const QString buscado = CmbSearch->text();
    for (int n = 0; n < modelo_->Nodos(); ++n) {
        const QString& texto = modelo_->NodoEn(n).texto;
        const qsizetype guion = texto.indexOf(u'-');
        const QString codigo = vb::Trim(guion < 0 ? texto : texto.left(guion));
        const QString descripcion = guion < 0 ? QString() : vb::Trim(QStringView(texto).mid(guion + 1));
        if (codigo.startsWith(buscado, Qt::CaseInsensitive) || descripcion.startsWith(buscado, Qt::CaseInsensitive)) {
            Halla(true);
            SeleccionaNodo(n);
            return;
        }
    }
    Halla(false);
}

void Lib_FrmCons3Tree::CmbSearch_KeyDown(int tecla)
{
    if (tecla != Qt::Key_F5)
        return;
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        CmbSearch->Tag = QStringLiteral("Descripcion");
        const SentenciaPartida p = PartirSentencia(sql, false);
        sql = p.base + p.union_ + QStringLiteral("Descripcion") + QStringLiteral(" like '%")
            + TextoLiteral(CmbSearch->text()) + QStringLiteral("%' ") + p.cola;
        vaciando_ = true;
        CmbSearch->clear();
        vaciando_ = false;
    });
    r.paso([&] { Form_Load(); });
    r.paso([&] { emit pideFoco(-1); });
}

void Lib_FrmCons3Tree::TreeV_NodeCheck(int nodo) { modelo_->Marca(nodo, modelo_->NodoEn(nodo).marcado, 6); }

bool Lib_FrmCons3Tree::BuscaCodigo(const QString& codigo, Variant& valor, bool& conTabla)
{
    DB_Dll& db = DB();
    FuncionesGenerales fg;
    ado::Recordset rs;
    // Codes are texts: compared as numbers, 0102 would miss its row (or find
    // 102) and a code with letters would fail on the server.
    auto busca = [&](const QString& tabla, const QString& campo) {
        if (!db.ExisteEnTabla(tabla, codigo, campo, &rs, Variant(std::int32_t(8))))
            return false;
        valor = fg.ValorCampo(rs.Fields(CampoDevuelto).Value());
        db.CierraRecordset(rs);
        return true;
    };
    conTabla = true;
    if (vb::Iguales(CampoDevuelto, u"IDFAMILIA"))
        return busca(QStringLiteral("@admin_V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"));
    if (vb::Iguales(CampoDevuelto, u"IDPOSICION"))
        return busca(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"));
    if (vb::Iguales(CampoDevuelto, u"CODIGO"))
        return busca(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO")) || busca(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"));
    conTabla = false;
    return false;
}

void Lib_FrmCons3Tree::CmdAceptar_Click()
{
    Rutina r = Pregunta(QStringLiteral("CmdAceptar_Click"));
    if (!CheckBoxes) {
        const int n = NodoSeleccionado();
        if (n >= 0)
            r.paso([&] {
                Variant valor;
                bool conTabla = false;
                const bool hallado = BuscaCodigo(modelo_->NodoEn(n).clave.mid(1), valor, conTabla);
                if (conTabla)
                    ValorDevuelto = hallado ? valor : Variant(QString());
            });
    } else {
        for (int n = 0; n < modelo_->Nodos(); ++n) {
            if (!modelo_->NodoEn(n).marcado)
                continue;
            r.paso([&] {
                const QString codigo = modelo_->NodoEn(n).clave.mid(1);
                Variant valor;
                bool conTabla = false;
                if (BuscaCodigo(codigo, valor, conTabla))
                    Valores << valor;
                else if (!conTabla)
                    Valores << Variant(vb::Trim(codigo));
            });
        }
    }
    if (!r.salio())
        Termina(true);
}

void Lib_FrmCons3Tree::CmdCancelar_Click()
{
    ValorDevuelto = Variant(QString());
    Termina(false);
}

void Lib_FrmCons3Tree::CmdNueva_Click()
{
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        sql = primeraSentencia_;
        Form_Load();
    });
}
