#include "platform/controles.h"

void CajaTexto::setText(const QString& texto)
{
    if (texto == texto_)
        return;
    texto_ = texto;
    emit textChanged(texto_);
}

void ListaTexto::addItem(const QString& texto)
{
    lineas_.append(texto);
    emit itemsChanged();
}

void ListaTexto::clear()
{
    const bool habia = actual_ >= 0;
    lineas_.clear();
    actual_ = -1;
    emit itemsChanged();
    if (habia)
        emit currentChanged(-1);
}

void ListaTexto::setCurrentRow(int fila)
{
    if (fila < 0 || fila >= count())
        fila = -1;
    if (fila == actual_)
        return;
    actual_ = fila;
    emit currentChanged(actual_);
}
