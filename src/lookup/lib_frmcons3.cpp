#include "lookup/lib_frmcons3.h"

#include "config/configuracion.h"
#include "db/db_dll.h"
#include "diag/registra_error.h"
#include "platform/twips.h"
#include "lookup/filtro_busqueda.h"
#include "lookup/lib_clscons3.h"
#include "lookup/modelo_lista.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

#include <QDateTime>

using twips::px;

namespace {

const QString ArchivoAnchos = QStringLiteral("CONSULTASLEN.SLV");
const QString ArchivoAnchosAux = QStringLiteral("CONSULTASLEN.AUX");
// In twips: far wider than any screen, well inside an int.
constexpr double AnchoGuardadoMaximo = 1e6;
const QString EncabezadoCantidad = QStringLiteral("**") + QStringLiteral("Cantidad") + QStringLiteral("**");

// The records of the width file: table name and widths ("1500|900|").
std::vector<std::pair<QString, QString>> RegistrosAnchos(const QString& ruta)
{
    std::vector<std::pair<QString, QString>> r;
    if (!rutas::ExisteArchivo(ruta))
        return r;
    archivos::LectorTexto f(ruta);
    while (!f.FinArchivo()) {
        QString tabla = f.LeeCampo();
        r.emplace_back(std::move(tabla), f.FinArchivo() ? QString() : f.LeeCampo());
    }
    return r;
}

QString CarpetaPrograma() { return FuncionesGenerales().BarraFinal(aplicacion::Carpeta()); }

// A colour of the platform (blue, green and red bytes from the high end); an
// empty setting colours nothing.
QColor ColorDe(const Variant& v)
{
    if (v.isEmpty() || v.isNull())
        return {};
    double d = 0;
    if (!v.isNumeric())
        return {};
    d = v.toDouble();
    const auto c = std::uint32_t(std::int64_t(d));
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Numbers the operator keeps in the quantity column, read and written with
// the regional decimal separator.
double Numero(const QString& texto)
{
    double d = 0;
    return vb::ANumero(vb::Trim(texto), d) ? d : 0;
}
QString Decimales(double d, int decimales)
{
    QString t = QString::number(d, 'f', decimales);
    return t.replace(u'.', vb::SeparadorDecimal());
}

} // namespace

Lib_FrmCons3::Lib_FrmCons3(QObject* parent) : FormularioConsulta(parent), modelo_(new ModeloLista(this))
{
    cargaBusqueda(0);
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

void Lib_FrmCons3::cargaBusqueda(int indice)
{
    while (int(CmbSearch.size()) <= indice) {
        const int i = int(CmbSearch.size());
        CmbSearch.push_back(std::make_unique<CajaBusqueda>());
        connect(CmbSearch.back().get(), &CajaTexto::textChanged, this, [this, i] { CmbSearch_Change(i); });
    }
    CmbSearch[size_t(indice)]->Visible = true;
}

void Lib_FrmCons3::Form_Load()
{
    Rutina r = Rutina::Preguntar([](const VbError& e) { return RegistraError(e, std::nullopt, QStringLiteral("FORM_LOAD")); });
    r.paso([&] {
        esArticulos_ = vb::Contiene(sql, u"articulos");
        modelo_->Comienza({});
    });
    if (vb::Trim(sql).isEmpty()) {
        emit cambiada();
        return;
    }
    r.paso([&] {
        sql += u' ';
        const int desde = vb::InStr(sql, u"from");
        tabla_.clear();
        if (desde > 0) {
            const int inicio = desde + 4;
            const int blanco = vb::InStr(sql, u" ", inicio + 1);
            tabla_ = vb::Trim(QStringView(sql).mid(inicio, blanco > 0 ? blanco - inicio : -1));
        }
    });
    r.paso([&] {
        if (!cargada_) {
            primeraSentencia_ = sql;
            cargada_ = true;
        }
        sentenciaTrabajo_ = sql;
    });
    ado::Recordset rs;
    DB_Dll& db = UsarUDBC ? DBConsulta() : DB();
    r.paso([&] { db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true); });
    if (rs.State() != ado::adStateClosed) {
        r.paso([&] {
            modelo_->checkBoxes = CheckBoxes;
            Encolumnar(rs);
        });
        r.paso([&] { Leer(rs); });
        r.paso([&] {
            if (OrdenarPorLwv) {
                columnaOrden_ = 0;
                ordenAscendente_ = true;
                modelo_->sort(0, Qt::AscendingOrder);
            }
            if (modelo_->Filas() > 0)
                SeleccionaFila(0);
        });
        r.paso([&] {
            if (!vb::Trim(FiltroInicial).isEmpty())
                CmbSearch[0]->setText(FiltroInicial);
        });
        r.paso([&] { db.CierraRecordset(rs); });
    }
    r.paso([&] { LeerAnchos(); });
    r.paso([&] { CalcularAncho(); });
    emit cambiada();
}

void Lib_FrmCons3::Encolumnar(ado::Recordset& rs)
{
    Rutina r([](const VbError& e) {
        operador().MsgBox(e.Description, estilo::OKOnly, {});
        return Accion::Salir;
    });
    const bool preciosConNombre = vb::Contiene(sql, u"V_MA_ARTICULOS") || vb::Contiene(sql, u"STK_MA_ARTICULOS");
    QStringList encabezados;
    std::vector<int> anchos;
    r.paso([&] {
        for (int g = 0; g < rs.FieldCount(); ++g) {
            ado::Field& campo = rs.Fields(g);
            int caracteres = campo.DefinedSize;
            if (campo.Type == ado::adCurrency || campo.Type == ado::adNumeric)
                caracteres = 12;
            caracteres = std::min(caracteres, 60);
            if (g > 0)
                cargaBusqueda(g);
            CmbSearch[size_t(g)]->Tag = campo.Name;
            CmbSearch[size_t(g)]->Visible = true;
            QString encabezado = campo.Name;
            if (preciosConNombre) {
                for (int n = 1; n <= 8; ++n)
                    if (vb::Iguales(campo.Name, QStringLiteral("PRECIO%1").arg(n)))
                        encabezado = vb::Trim(Cfg(QStringLiteral("NOM_PCLASE%1").arg(n)));
            } else if (ValoresDefault == u"@10") {
                caracteres += 10;
            }
            encabezados << encabezado;
            anchos.push_back(AnchoCaracteres(std::max(caracteres, 0)));
        }
        for (size_t i = size_t(rs.FieldCount()); i < CmbSearch.size(); ++i)
            CmbSearch[i]->Visible = false;
        modelo_->Comienza(encabezados);
        AnchoColumna = std::move(anchos);
    });
}

void Lib_FrmCons3::Leer(ado::Recordset& rs)
{
    FuncionesGenerales fg;
    const int campos = rs.FieldCount();
    auto indice = [&](const QString& nombre) {
        for (int i = 0; i < campos; ++i)
            if (vb::Iguales(rs.Fields(i).Name, nombre))
                return i;
        return -1;
    };
    const int devuelto = CheckBoxes && !CampoDevuelto.isEmpty() ? indice(CampoDevuelto) : -1;
    const int puntoPedido = esArticulos_ ? indice(QStringLiteral("PUNTOPEDIDO")) : -1;
    const int stock = esArticulos_ ? indice(QStringLiteral("Stock")) : -1;
    modelo_->muestraStock = vb::Iguales(vb::Trim(MuestraStock), u"SI");
    modelo_->colores = {QColor(), ColorDe(StkNivel1), ColorDe(StkNivel2), ColorDe(StkNivel3), ColorDe(StkNivel4)};
    std::vector<QString> valores(size_t(std::max(campos, 1)));
    Rutina color = Rutina::Omitir();
    while (!rs.EOF_()) {
        valores[0] = vb::Trim(fg.FormateaValor(rs.Fields(0).Value()));
        for (int i = 1; i < campos; ++i)
            valores[size_t(i)] = fg.FormateaValor(rs.Fields(i).Value());
        bool marcada = false;
        if (devuelto >= 0) {
            const QString v = vb::Trim(fg.FormateaValor(rs.Fields(devuelto).Value()));
            marcada = !v.isEmpty() && vb::Contiene(ValoresDefault, v);
        }
        int nivel = 0;
        if (puntoPedido >= 0 && stock >= 0)
            color.paso([&] {
                const Variant& vp = rs.Fields(puntoPedido).Value();
                const Variant& vs = rs.Fields(stock).Value();
                const double pp = vp.isNull() || vp.isEmpty() ? 0 : vp.toDouble();
                const double st = vs.isNull() || vs.isEmpty() ? 0 : vs.toDouble();
                if (pp == 0 && st > 0)
                    nivel = 1;
                else if (pp > 0 && st > pp)
                    nivel = 2;
                else if (pp > 0 && st < pp)
                    nivel = 3;
                else
                    nivel = 4;
            });
        modelo_->AgregaFila(valores.data(), marcada, nivel);
        rs.MoveNext();
    }
    modelo_->Publica();
}

// The window wide enough for every column, within the screen.
void Lib_FrmCons3::CalcularAncho()
{
    int total = 0;
    for (int i = 0; i < modelo_->Columnas() && i < int(AnchoColumna.size()); ++i)
        total += AnchoColumna[size_t(i)];
    const int lista = total + px(360);
    const int anchoPantalla = medidas::AnchoPantalla();
    AnchoVentana = lista + px(280) + 2 * px(120);
    if (lista + px(360) >= anchoPantalla)
        AnchoVentana = anchoPantalla - px(480);
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const
{
    for (int i = 0; i < modelo_->Columnas(); ++i)
        if (vb::Iguales(modelo_->Encabezado(i), Columna))
            return i + 1;
    return 0;
}

int Lib_FrmCons3::Busqueda(int Clave, const QString& QueValor) const { return modelo_->Busqueda(Clave, QueValor) + 1; }

// The stock view keeps its widths under the articles' name.
QString Lib_FrmCons3::tablaAnchos() const
{
    return vb::Iguales(tabla_, u"Stk_ma_articulos") ? QStringLiteral("VT_MA_ARTICULOS") : tabla_;
}

void Lib_FrmCons3::LeerAnchos()
{
    const QString ruta = rutas::ArchivoEnCarpeta(CarpetaPrograma(), ArchivoAnchos);
    if (!rutas::ExisteArchivo(ruta))
        return;
    const QString buscada = tablaAnchos();
    FuncionesGenerales fg;
    for (const auto& [tabla, anchos] : RegistrosAnchos(ruta)) {
        if (!vb::Iguales(vb::Trim(tabla), buscada))
            continue;
        const QStringList partes = anchos.split(u'|');
        AnchoColumna.resize(size_t(modelo_->Columnas()));
        for (int i = 0; i < modelo_->Columnas() && i < partes.size(); ++i) {
            if (vb::Trim(partes[i]).isEmpty())
                continue;
            // A width no column could have (negative, beyond any screen) is
            // a damaged record: the column keeps the width of its field.
            const double t = fg.ValorNumerico(Variant(partes[i])).toDouble();
            if (!(t >= 0 && t <= AnchoGuardadoMaximo))
                continue;
            AnchoColumna[size_t(i)] = std::max(px(int(t)), 1);
        }
        break;
    }
}

void Lib_FrmCons3::GrabarAnchos()
{
    if (!GrabarCfg || tabla_.isEmpty())
        return;
    const QString carpeta = CarpetaPrograma();
    const QString ruta = rutas::ArchivoEnCarpeta(carpeta, ArchivoAnchos), aux = rutas::ArchivoEnCarpeta(carpeta, ArchivoAnchosAux);
    const QString tabla = tablaAnchos();
    auto registro = [](const QString& t, const QString& a) {
        return u'"' + t + QStringLiteral("\",\"") + a + u'"';
    };
    // The other tables' records are read whole first: a file that cannot be
    // read leaves no temporary file behind.
    const auto registros = RegistrosAnchos(ruta);
    archivos::EscritorTexto salida(aux);
    for (const auto& [t, a] : registros)
        if (!vb::Iguales(vb::Trim(t), tabla))
            salida.EscribeLinea(registro(t, a));
    QString anchos;
    for (int i = 0; i < modelo_->Columnas(); ++i)
        anchos += QString::number(twips::Twips(i < int(AnchoColumna.size()) ? AnchoColumna[size_t(i)] : 0)) + u'|';
    salida.EscribeLinea(registro(tabla, anchos));
    salida.Cierra();
    rutas::Reemplaza(aux, ruta);
}

void Lib_FrmCons3::PreparaLista(const QString& titulo, int anchoTwips)
{
    modelo_->Comienza({titulo});
    AnchoColumna = {px(anchoTwips)};
    for (size_t i = 1; i < CmbSearch.size(); ++i)
        CmbSearch[i]->Visible = false;
    CmbSearch[0]->Tag = titulo;
    CalcularAncho();
    emit cambiada();
}

void Lib_FrmCons3::AgregaFila(const QString& texto, bool marcada)
{
    modelo_->AgregaFila(&texto, marcada, 0);
    modelo_->Publica();
}

int Lib_FrmCons3::FilaSeleccionada() const { return Seleccion().isValid() ? Seleccion().row() : -1; }

void Lib_FrmCons3::SeleccionaFila(int fila) { Selecciona(modelo_->index(fila, 0)); }

QString Lib_FrmCons3::TextoSeleccionado() const
{
    QString texto;
    const int fila = FilaSeleccionada();
    if (fila >= 0)
        for (int c = 0; c < modelo_->Columnas(); ++c)
            texto += (c ? QStringLiteral(" | ") : QString()) + modelo_->Valor(fila, c);
    return texto;
}

void Lib_FrmCons3::CmbSearch_Change(int Index)
{
    Rutina r = Rutina::Omitir();
    Halla(false);
    r.paso([&] {
        const int f = Busqueda(Index, CmbSearch[size_t(Index)]->text());
        Halla(f > 0);
        if (f > 0)
            SeleccionaFila(f - 1);
    });
}

void Lib_FrmCons3::CmbSearch_KeyDown(int Index, int tecla)
{
    Rutina r = Rutina::Omitir();
    if (tecla == Qt::Key_F5) {
        r.paso([&] {
            const SentenciaPartida p = PartirSentencia(sentenciaTrabajo_, true);
            QString prefijo;
            if (vb::Contiene(p.base, u"v_ma_articulos"))
                prefijo = QStringLiteral("v_ma_articulos.");
            else if (vb::Contiene(p.base, u"stk_ma_articulos"))
                prefijo = QStringLiteral("stk_ma_articulos.");
            const CajaBusqueda& c = *CmbSearch[size_t(Index)];
            const QString etiqueta = c.Tag;
            const QString texto = TextoLiteral(c.text());
            if (CfgUsaConsultaLIKE)
                sql = p.base + p.union_ + prefijo + etiqueta + QStringLiteral(" like '%") + QString(texto).replace(u' ', u'%')
                    + QStringLiteral("%' ") + p.cola;
            else
                sql = p.base + p.union_ + prefijo + etiqueta + QStringLiteral(" like '") + texto + QStringLiteral("%' ") + p.cola;
            sentenciaTrabajo_ = sql;
        });
        r.paso([&] { Form_Load(); });
        return;
    }
    // The moving keys go on to the rows.
    int paso = 0;
    if (tecla == Qt::Key_Up || tecla == Qt::Key_Down)
        paso = 1;
    else if (tecla == Qt::Key_PageUp || tecla == Qt::Key_PageDown)
        paso = std::max(FilasPorPagina, 1);
    if (paso == 0)
        return;
    r.paso([&] {
        if (modelo_->Filas() > 0) {
            const int fila = FilaSeleccionada();
            const int destino = fila < 0 ? 0 : fila + (tecla == Qt::Key_Up || tecla == Qt::Key_PageUp ? -paso : paso);
            SeleccionaFila(std::clamp(destino, 0, modelo_->Filas() - 1));
        }
        emit pideFoco(-1);
    });
}

int Lib_FrmCons3::indiceCantidad() const { return IndiceColumna(EncabezadoCantidad) - 1; }

bool Lib_FrmCons3::ListView1_KeyDown(int tecla, Qt::KeyboardModifiers shift)
{
    Rutina r = Rutina::Preguntar([](const VbError& e) { return RegistraError(e, std::nullopt, QStringLiteral("ListView1_KeyDown")); });
    const bool conShift = shift & Qt::ShiftModifier;
    const int fila = FilaSeleccionada();
    if (tecla == Qt::Key_Space && CheckBoxes) {
        r.paso([&] {
            if (fila >= 0)
                modelo_->Marca(fila, !modelo_->Marcada(fila));
        });
        return true;
    }
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        r.paso([&] { CmdAceptar_Click(); });
        return true;
    }
    if ((tecla == Qt::Key_Insert || tecla == Qt::Key_Delete) && UsaCantidades) {
        const int c = indiceCantidad();
        if (fila < 0 || c < 0)
            return true;
        r.paso([&] {
            const double actual = Numero(modelo_->Valor(fila, c));
            if (tecla == Qt::Key_Insert && conShift) {
                const QString respuesta = operador().InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                                              QStringLiteral("Carga de Datos"), modelo_->Valor(fila, c));
                // Nothing or zero typed shows as zero rather than as a format mask.
                modelo_->FijaValor(fila, c, Decimales(Numero(respuesta), 2));
                modelo_->Marca(fila, true);
            } else if (tecla == Qt::Key_Insert) {
                modelo_->FijaValor(fila, c, Decimales(actual + 1, 1));
                modelo_->Marca(fila, true);
            } else if (!conShift) {
                const double nuevo = actual - 1;
                if (nuevo > 0) {
                    modelo_->FijaValor(fila, c, Decimales(nuevo, 1));
                } else {
                    modelo_->Marca(fila, false);
                    modelo_->FijaValor(fila, c, QStringLiteral("0.00"));
                }
            }
        });
        return true;
    }
    const int actual = std::clamp(BusquedaActual, 0, int(CmbSearch.size()) - 1);
    CajaBusqueda& caja = *CmbSearch[size_t(actual)];
    if (tecla == Qt::Key_Backspace) {
        // Takes back the last character typed, as in the box itself.
        r.paso([&] {
            QString t = caja.text();
            t.chop(1);
            caja.setText(t);
            emit pideFoco(actual);
        });
        return true;
    }
    const bool combinada = shift & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!combinada
        && ((tecla >= 47 && tecla <= 93) || (tecla >= 97 && tecla <= 125) || (tecla == Qt::Key_Space && !CheckBoxes))) {
        r.paso([&] {
            caja.setText(caja.text() + QChar(tecla));
            emit pideFoco(actual);
        });
        return true;
    }
    return false;
}

void Lib_FrmCons3::ListView1_DblClick() { CmdAceptar_Click(); }

void Lib_FrmCons3::ListView1_ColumnClick(int columna)
{
    ordenAscendente_ = !ordenAscendente_;
    columnaOrden_ = columna;
    modelo_->sort(columna, ordenAscendente_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void Lib_FrmCons3::Form_KeyDown(int tecla)
{
    if (tecla == Qt::Key_F12 && esArticulos_)
        informaFaltante();
}

void Lib_FrmCons3::informaFaltante()
{
    Rutina r = Rutina::Omitir();
    const int fila = FilaSeleccionada();
    const int cId = IndiceColumna(QStringLiteral("idarticulo")), cDes = IndiceColumna(QStringLiteral("Descripcion"));
    if (fila < 0 || cId == 0 || cDes == 0)
        return;
    const QString id = vb::Trim(modelo_->Valor(fila, cId - 1));
    const QString descripcion = vb::Trim(modelo_->Valor(fila, cDes - 1));
    if (operador().MsgBox(QStringLiteral("Desea informar el articulo ") + id + u' ' + descripcion + QStringLiteral("\r\n")
                              + QStringLiteral("como un faltante de stock?"),
                          estilo::YesNo + estilo::Question, QStringLiteral("Atención!"))
        != respuesta::Yes)
        return;
    r.paso([&] {
        FuncionesGenerales fg;
        DB_Dll& db = DB();
        QString s = QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) values('")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QStringLiteral("','")
            + TextoLiteral(fg.FormateaValor(Variant(id), 25)) + QStringLiteral("','") + TextoLiteral(descripcion)
            + QStringLiteral("','") + TextoLiteral(db.gUsuario) + QStringLiteral("')");
        std::int32_t afectadas = 0;
        db.EjecutaConsultaSQL(s, afectadas);
    });
}

void Lib_FrmCons3::CmdAceptar_Click()
{
    Rutina r = Rutina::Preguntar([](const VbError& e) { return RegistraError(e, std::nullopt, QStringLiteral("CmdAceptar_Click")); });
    auto columna = [&](const QString& nombre) {
        const int c = IndiceColumna(nombre);
        if (c == 0)
            Raise(vberr::SubscriptOutOfRange, QStringLiteral("No hay una columna ") + nombre);
        return c - 1;
    };
    if (CheckBoxes) {
        r.paso([&] {
            if (CampoDevuelto.isEmpty() && modelo_->Columnas() > 0)
                CampoDevuelto = modelo_->Encabezado(0);
        });
        r.paso([&] {
            const int c = columna(CampoDevuelto);
            for (int f = 0; f < modelo_->Filas(); ++f)
                if (modelo_->Marcada(f))
                    Valores << Variant(modelo_->Valor(f, c));
        });
    } else {
        const int fila = FilaSeleccionada();
        if (fila >= 0) {
            // Valores still holds what earlier lookups handed back.
            const qsizetype antes = Valores.size();
            for (const QString& nombre : std::as_const(CmpsDevueltos))
                r.paso([&] { Valores << Variant(modelo_->Valor(fila, columna(nombre))); });
            r.paso([&] {
                if (!CampoDevuelto.isEmpty())
                    ValorDevuelto = Variant(modelo_->Valor(fila, columna(CampoDevuelto)));
                else if (Valores.size() > antes)
                    ValorDevuelto = Valores.last();
            });
        }
    }
    if (!r.salio())
        Termina(true);
}

void Lib_FrmCons3::CmdCancelar_Click()
{
    ValorDevuelto = Variant(QString());
    Valores.clear();
    Cantidades.clear();
    Termina(false);
}

void Lib_FrmCons3::CmdNueva_Click()
{
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        sql = primeraSentencia_;
        Form_Load();
    });
    r.paso([&] { emit pideFoco(0); });
}

void Lib_FrmCons3::CmdNuevo_Click()
{
    const QString t = vb::Trim(tabla_);
    QString programa = QStringLiteral("SHELL:V_TA_TABLAS"), parametro = t;
    if (vb::Iguales(t, u"V_TA_RUBROS") || vb::Iguales(t, u"V_TA_UNIDAD")) {
    } else if (vb::Iguales(t, u"VT_CLIENTES")) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        parametro = QStringLiteral("1");
    } else if (vb::Iguales(t, u"VT_PROVEEDORES")) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        parametro = QStringLiteral("0");
    } else if (vb::Iguales(t, u"V_TA_Tecnicos")) {
        programa = QStringLiteral("SHELL:V_TA_Tecnicos");
        parametro.clear();
    } else if (vb::Iguales(t, u"V_TA_VENDEDORES")) {
        programa = QStringLiteral("SHELL:V_TA_VENDEDORES");
        parametro.clear();
    } else if (vb::Iguales(t, u"V_MA_ARTICULOS") || vb::Iguales(t, u"VT_MA_ARTICULOS")) {
        programa = QStringLiteral("SHELL:V_MA_ARTICULOS");
        parametro.clear();
    }
    std::int32_t tarea = 0;
    Lanza(programa, parametro, tarea);
}

void Lib_FrmCons3::CmdTodos_Click() { modelo_->MarcaTodas(true); }

void Lib_FrmCons3::Form_Unload()
{
    UsarUDBC = false;
    Rutina r([](const VbError& e) {
        operador().MsgBox(e.Description, estilo::Critical, QStringLiteral("Aviso al Operador"));
        return Accion::Salir;
    });
    r.paso([&] { GrabarAnchos(); });
}
