#include "db/db_privado.h"
#include "db/globales.h"

#include "platform/aplicacion.h"
#include "platform/vb.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

namespace {

// Sibling programs of the suite that reach deposits or families without the
// restricted views. VERIFICADOR_SIN_SS_DEPOSITO / VERIFICADOR_SIN_SS_FAMILIAS
// (names separated by ";") replace the built-in lists.
QStringList ListaProgramas(const char* variable, QStringList omision)
{
    const QByteArray env = qgetenv(variable);
    if (env.isNull())
        return omision;
    return QString::fromLocal8Bit(env).split(u';', Qt::SkipEmptyParts);
}

bool ProgramaEntre(const QStringList& programas)
{
    const QString propio = aplicacion::NombreEjecutable();
    for (const QString& p : programas)
        if (vb::Iguales(vb::Trim(p), propio))
            return true;
    return false;
}

// Replaces the name where one of the contexts around it shows it as a whole word.
QString Sinonimo(QString sql, const QString& nombre, const QString& por, QStringView antes, QStringView despues)
{
    for (QChar a : antes)
        for (QChar d : despues)
            sql = vb::Replace(sql, a + nombre + d, a + por + d);
    return sql;
}

QString Sinonimo(QString sql, const QString& nombre, const QString& por)
{
    // " X ", "(X ", " X.", "(X.", ",X."
    sql = Sinonimo(sql, nombre, por, u" (", u" ");
    sql = Sinonimo(sql, nombre, por, u" (,", u".");
    return sql;
}

} // namespace

QString DB_Dll::SS_TSinonimos(const QString& sql)
{
    const QString marca = QStringLiteral("@Admin_");
    if (gEsAdmin)
        return vb::Replace(sql, marca, {});
    QString s = sql;
    if (!vb::Contiene(s, u"MV_ASIENTOS") || glb::ConfidencialidadActiva) {
        s = Sinonimo(s, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"));
        s = Sinonimo(s, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), u"{", u".");
        if (vb::Contiene(s, u"@admin_")) {
            s = vb::Replace(s, QStringLiteral("@Admin_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"));
            s = vb::Replace(s, QStringLiteral("SS_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"));
        }
        static const QStringList sinDeposito = ListaProgramas("VERIFICADOR_SIN_SS_DEPOSITO", {u"SVTransferencias"_qs, u"SVRemitos"_qs});
        static const QStringList sinFamilias = ListaProgramas("VERIFICADOR_SIN_SS_FAMILIAS", {u"SVListaPrecios"_qs, u"SVEtiquetas"_qs});
        if (!ProgramaEntre(sinDeposito))
            s = Sinonimo(s, QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("SS_V_TA_DEPOSITO"));
        s = Sinonimo(s, QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"));
        if (!ProgramaEntre(sinFamilias))
            s = Sinonimo(s, QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("SS_V_TA_FAMILIAS"));
        s = Sinonimo(s, QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"));
        s = Sinonimo(s, QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"));
        s = Sinonimo(s, QStringLiteral("AC_CUENTASDIARIO_CCOSTO"), QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"));
    }
    return vb::Replace(s, marca, {});
}

namespace {

const QStringList& ColumnasFecha()
{
    static const QStringList c = {
        u"FECHA"_qs, u"FECHAD"_qs, u"FECHAH"_qs, u"VENCIMIENTO"_qs, u"FECHASUBDIARIO"_qs, u"FECHAENTREGA"_qs,
        u"FECHA_A_VENCER"_qs, u"FECHA_DMR"_qs, u"INGRESO"_qs, u"EGRESO"_qs, u"FECHAHORA_GRABACION"_qs,
        u"FECHAHORA_MODIFICACION"_qs, u"FECHA_COMPRA"_qs, u"FECHA_REVALUACION"_qs, u"VENCIMIENTO_REGISTRO"_qs,
        u"VENCIMIENTO_SEGURO"_qs, u"VTO_VTV"_qs, u"VTO_C_VERDE"_qs, u"VTO_SEGURO"_qs, u"FECHAAVISO"_qs, u"FECHAALARMA"_qs,
        u"FECHALEIDO"_qs, u"FECHAPRESENTACION"_qs, u"FECHAVTOPRESENTACION"_qs, u"FECHA_CIERRE"_qs, u"FECHAMOV"_qs,
        u"FECHA_DESDE"_qs, u"FECHA_HASTA"_qs, u"FECHA_ALTA"_qs, u"FECHA_MODIFICACION"_qs, u"\"FECHA DESDE\""_qs,
        u"\"FECHA HASTA\""_qs, u"FECHA_INICIO"_qs, u"FECHA_FINALIZACION"_qs, u"FECHA_RENDICION"_qs, u"ACARGODESDE"_qs,
        u"FECHACASAMIENTO"_qs, u"FECHAINGRESO"_qs, u"FECHANACIMIENTO"_qs, u"FECHAINGRESOANTERIOR"_qs, u"FECHAEGRESO"_qs,
        u"VENCECONTRATO"_qs, u"FECHAALTA"_qs, u"PDESDE"_qs, u"PHASTA"_qs, u"FECHAPROCESO"_qs, u"FECHAHORAENTREVISTA"_qs,
        u"FECHAOPERATIVA"_qs, u"FECHAPAGO"_qs, u"FECHAHORA"_qs, u"FECHASOLICITUD"_qs, u"FECHACARGA"_qs,
        u"FECHACOMPROMETIDO"_qs, u"FECHAORDENCPRA"_qs, u"VENCEM"_qs, u"VENCER"_qs, u"FECHA_GRABACION"_qs,
        u"FHOFERTADESDE"_qs, u"FHOFERTAHASTA"_qs, u"FHOPERATIVA"_qs, u"FHALTA"_qs, u"FHCIERRE"_qs, u"COT_FECHA"_qs,
        u"FECHAESTINCIO"_qs, u"FECHAESTFIN"_qs, u"FECHAFINALIZACION"_qs, u"FECHAENTREGA"_qs, u"FECHAENCPTE"_qs,
        u"FECHAINCIO"_qs, u"FECHAFIN"_qs, u"FECHAREALINICIO"_qs, u"FECHAREALFIN"_qs, u"FECHAINVIADO"_qs,
        u"FECHARECIBIDO"_qs, u"ACTUALIZADO"_qs, u"FECHA_ANULACION"_qs, u"DIAMOLIENDA"_qs, u"DIAMEZCLA"_qs,
        u"FECHAEMISION"_qs, u"FINALIZADO"_qs, u"SINCRONIZADO"_qs, u"VENCEA"_qs, u"VENCEB"_qs, u"VENCEC"_qs, u"VENCEE"_qs,
        u"VENCEX"_qs};
    return c;
}

constexpr auto CI = QRegularExpression::CaseInsensitiveOption;

// Row limit "TOP n" after SELECT becomes ROWNUM in the WHERE part.
QString LimiteFilas(QString s)
{
    static const QRegularExpression top(QStringLiteral("(SELECT\\s+)top\\s+(\\d+)\\s+"), CI);
    const auto m = top.match(s);
    if (!m.hasMatch())
        return s;
    const QString n = m.captured(2);
    s.replace(m.capturedStart(0), m.capturedLength(0), m.captured(1));
    const QString limite = (vb::Contiene(s, u" WHERE ") ? QStringLiteral(" AND ROWNUM <= ") : QStringLiteral(" WHERE ROWNUM <= ")) + n;
    int p = vb::InStr(s, u" GROUP BY ");
    if (p == 0)
        p = vb::InStr(s, u"ORDER BY ");
    if (p == 0)
        return s + limite;
    return vb::RTrim(QStringView(s).left(p - 1)) + limite + u' ' + vb::LTrim(QStringView(s).mid(p - 1));
}

QString ColumnasDeFecha(QString s)
{
    for (const QString& col : ColumnasFecha()) {
        const QRegularExpression re(QStringLiteral("(?<![A-Za-z0-9_\"])((?:[A-Za-z0-9_]+\\.)?") + QRegularExpression::escape(col)
                                        + QStringLiteral(")(?=[ <>\"=()])"),
                                    CI);
        s.replace(re, QStringLiteral("TO_DATE(TO_CHAR(\\1,'DD/MM/YYYY'),'DD/MM/YYYY')"));
    }
    return s;
}

// Quoted literals that read as dates (dd/mm/yyyy, dd-mm-yyyy, yyyy-mm-dd, with
// an optional time) become TO_DATE of the day.
QString LiteralesDeFecha(QString s)
{
    static const QRegularExpression lit(
        QStringLiteral("'(?:(\\d{1,2})[/-](\\d{1,2})[/-](\\d{4})|(\\d{4})-(\\d{1,2})-(\\d{1,2}))(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?)?'"));
    // Where each literal of the text ends, by where it starts: a match must be
    // one whole literal, not the quotes of two neighbours nor a doubled quote
    // inside one.
    QHash<qsizetype, qsizetype> literales;
    for (qsizetype i = s.indexOf(u'\''); i >= 0; i = s.indexOf(u'\'', i)) {
        qsizetype j = i + 1;
        while (j < s.size() && !(s[j] == u'\'' && (j + 1 >= s.size() || s[j + 1] != u'\'')))
            j += s[j] == u'\'' ? 2 : 1;
        if (j >= s.size())
            break;
        literales.insert(i, j + 1);
        i = j + 1;
    }
    QString r;
    qsizetype desde = 0;
    auto it = lit.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        if (literales.value(m.capturedStart(0), -1) != m.capturedEnd(0))
            continue;
        const bool dma = m.capturedLength(1) > 0;
        const QDate d = dma ? QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt())
                            : QDate(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        r += s.mid(desde, m.capturedStart(0) - desde);
        if (d.isValid())
            r += QStringLiteral("TO_DATE('") + d.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("','DD/MM/YYYY')");
        else
            r += m.captured(0);
        desde = m.capturedEnd(0);
    }
    r += s.mid(desde);
    // A literal that was already inside TO_DATE gets wrapped twice: collapse
    // that wrapping only, never the column wrappings, whose text ends the same.
    static const QRegularExpression doble(
        QStringLiteral("TO_DATE\\(TO_DATE\\(('[^']*','DD/MM/YYYY')\\),'DD/MM/YYYY'\\)"), CI);
    r.replace(doble, QStringLiteral("TO_DATE(\\1)"));
    return r;
}

} // namespace

QString DB_Dll::ORACLE_Dicc(const QString& Valor)
{
    if (!vb::Contiene(gConnString, u"ORACLE"))
        return Valor;
    if (p_->fg.CuentaPartes(Valor) < 2)
        return vb::Iguales(vb::Trim(Valor), u"LEN") ? QStringLiteral("LENGTH") : Valor;
    QString s = LimiteFilas(Valor);
    for (auto len : {u" LEN(", u" LEN (", u" LEN  (", u" LEN   (", u" LEN    ("})
        s = vb::Replace(s, QString::fromUtf16(len), QStringLiteral(" LENGTH("));
    s.replace(u'[', u'"').replace(u']', u'"');
    s = ColumnasDeFecha(s);
    s = LiteralesDeFecha(s);
    s = vb::Replace(s, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    s = vb::Replace(s, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    s = vb::Replace(s, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
    if (const int w = vb::InStr(s, u" WHERE "); w > 0) {
        QString cola = s.mid(w - 1);
        cola = vb::Replace(cola, QStringLiteral("= ''"), QStringLiteral(" IS NULL "));
        cola = vb::Replace(cola, QStringLiteral("=''"), QStringLiteral(" IS NULL "));
        s = s.left(w - 1) + cola;
    }
    static const QRegularExpression estilo103(QStringLiteral("(TO_CHAR\\([^()]*?),\\s*103\\s*\\)"), CI);
    s.replace(estilo103, QStringLiteral("\\1,'DD/MM/YYYY')"));
    s = vb::Replace(s, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    s = vb::Replace(s, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
    return s;
}

namespace {

QString NormalizaScript(QString s)
{
    s = vb::Replace(s, QStringLiteral("SET NOCOUNT ON"), {});
    s = vb::Replace(s, QStringLiteral("SET NOCOUNT OFF"), {});
    static const QRegularExpression go(QStringLiteral("(^|\\r\\n|\\r|\\n)\\s*GO\\s*(?=\\r\\n|\\r|\\n|$)"), CI);
    s.replace(go, QStringLiteral(" "));
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    // The longer forms first, so "TRANSACTION" is not left half replaced.
    s = vb::Replace(s, QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    s = vb::Replace(s, QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    s = vb::Replace(s, QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    s = vb::Replace(s, QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    s = vb::Replace(s, QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    s = vb::Replace(s, QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));
    return s;
}

} // namespace

// Cuts at every start keyword, in text order; text before the first keyword
// is a statement of its own.
QStringList CortaScriptOracle(const QString& script)
{
    static const QStringList claves = {u"INSERT "_qs, u"DELETE "_qs, u"UPDATE "_qs, u"CREATE "_qs, u"DROP "_qs,
                                        u"ALTER "_qs, u"SET TRANSACTION"_qs, u"COMMIT"_qs, u"ROLLBACK"_qs,
                                        u"IF NOT EXIST"_qs, u"IF EXIST"_qs, u"GRANT "_qs};
    const QString s = NormalizaScript(script);
    QList<qsizetype> cortes;
    for (const QString& k : claves) {
        for (qsizetype p = s.indexOf(k, 0, Qt::CaseInsensitive); p >= 0; p = s.indexOf(k, p + 1, Qt::CaseInsensitive)) {
            // A keyword counts only where a word starts.
            if (p > 0 && (s[p - 1].isLetterOrNumber() || s[p - 1] == u'_'))
                continue;
            cortes.append(p);
        }
    }
    std::sort(cortes.begin(), cortes.end());
    cortes.erase(std::unique(cortes.begin(), cortes.end()), cortes.end());
    QStringList sentencias;
    qsizetype desde = 0;
    for (qsizetype c : cortes) {
        if (c > desde)
            sentencias << s.mid(desde, c - desde);
        desde = c;
    }
    sentencias << s.mid(desde);
    QStringList r;
    for (const QString& x : sentencias)
        if (!vb::Trim(x).isEmpty())
            r << vb::Trim(x);
    return r;
}

void DB_Dll::EjecutaScriptOracle(const QString& sql, std::int32_t& RecordsAffected)
{
    for (QString sentencia : CortaScriptOracle(sql)) {
        if (vb::Iguales(sentencia, u"SET TRANSACTION") || sentencia.startsWith(u"SET TRANSACTION", Qt::CaseInsensitive))
            gCnn->BeginTrans();
        else if (vb::Iguales(sentencia, u"COMMIT"))
            gCnn->CommitTrans();
        else if (vb::Iguales(sentencia, u"ROLLBACK"))
            gCnn->RollbackTrans();
        else {
            sentencia = ORACLE_Dicc(sentencia);
            if (!OmiteSentenciaSQLServer(sentencia).isEmpty())
                gCnn->Execute(sentencia, &RecordsAffected, -1);
        }
    }
    ado::Errors& errs = gCnn->errors();
    if (errs.Count() == 1 && errs.Item(0).Number == 265929)
        errs.Clear();
}
