#!/usr/bin/python3
# Writes the intergreen-time workbook template "Czasy Miedzyziel szablon.xlt" that conflictor fills:
# worksheet 1 with the parameter labels and the headers of the pair and stream tables, worksheet 2
# "MATRYCA KOLIZJI" laid out for 12 groups, worksheet 3 "PARAMETRY WSTĘPNE"; Subject "wersja 2.6".
# Usage: make_template.py OUT  (the output is the file kept in resources/Tesmar/Zasoby)
import datetime
import sys

import openpyxl
from openpyxl.styles import Alignment, Border, Font, Side

FIXED_TIME = datetime.datetime(2026, 1, 1, 0, 0, 0)  # the same file on every run

thin = Side(style="thin")
frame = Border(left=thin, right=thin, top=thin, bottom=thin)
bold = Font(bold=True)
title = Font(bold=True, size=14)
wrap = Alignment(wrap_text=True, vertical="center", horizontal="center")


def header(ws, row, column, text, width=None):
    cell = ws.cell(row=row, column=column, value=text)
    cell.font = bold
    cell.alignment = wrap
    cell.border = frame
    if width:
        ws.column_dimensions[cell.column_letter].width = width


def a4(ws, landscape):
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_setup.orientation = "landscape" if landscape else "portrait"
    ws.page_setup.fitToWidth = 1
    ws.page_setup.fitToHeight = 0
    ws.sheet_properties.pageSetUpPr.fitToPage = True


def sheet1(ws):
    ws.title = "CZASY MIĘDZYZIELONE"
    ws["A1"] = "OBLICZENIE CZASÓW MIĘDZYZIELONYCH"
    ws["A1"].font = title
    ws["A2"] = "Skrzyżowanie nr:"
    ws["A2"].font = bold
    ws["C2"].font = bold
    ws["A3"] = "tm = te + tż - td (czas międzyzielony = ewakuacja + żółte - dojazd)"

    vehicles = [
        "Długość pojazdu (m)",
        "Prędkość dojazdu - prosta (m/s)",
        "Prędkość dojazdu - łuk (m/s)",
        "Prędkość ewakuacji - prosta (m/s)",
        "Prędkość ewakuacji - łuk (m/s)",
        "Prędkość pieszych (m/s)",
        "Prędkość rowerów (m/s)",
        "Sygnał żółty (s)",
        "Maksymalne przyspieszenie (m/s²)",
    ]
    ws["W1"] = "Samochody"
    ws["W1"].font = bold
    for i, text in enumerate(vehicles):
        ws.cell(row=2 + i, column=23, value=text)
        ws.cell(row=2 + i, column=24).border = frame
    others = [
        "Długość (m)",
        "Prędkość dojazdu - prosta (m/s)",
        "Prędkość dojazdu - łuk (m/s)",
        "Prędkość ewakuacji - prosta (m/s)",
        "Prędkość ewakuacji - łuk (m/s)",
        "Maksymalne przyspieszenie (m/s²)",
    ]
    for column, name in ((31, "Autobusy"), (39, "Tramwaje (długość składu)")):
        ws.cell(row=2, column=column, value=name).font = bold
        for i, text in enumerate(others):
            ws.cell(row=3 + i, column=column, value=text)
            ws.cell(row=3 + i, column=column + 1).border = frame
        ws.column_dimensions[ws.cell(row=1, column=column).column_letter].width = 30
    ws.column_dimensions["W"].width = 32

    pairs = [
        ("Strumień ewakuujący", 11),
        ("Strumień dojeżdżający", 11),
        ("Droga ewakuacji se (m)", 10),
        ("Długość pojazdu lp (m)", 9),
        ("Prędkość ewakuacji ve (m/s)", 10),
        ("Czas ewakuacji te (s)", 9),
        ("Droga dojazdu sd (m)", 9),
        ("Prędkość dojazdu vd (m/s)", 10),
        ("Czas dojazdu td (s)", 9),
        ("Czas dojazdu z postoju (s)", 10),
        ("Czas żółty tż (s)", 8),
        ("Czas między-zielony (s)", 10),
        ("Czas między-zielony z przysp. (s)", 11),
        ("Przyspie-szenie (m/s²)", 9),
        ("Czas przyjęty (s)", 9),
    ]
    for i, (text, width) in enumerate(pairs):
        header(ws, 10, 1 + i, text, width)
        header(ws, 11, 1 + i, ws.cell(row=1, column=1 + i).column_letter)
    ws.row_dimensions[10].height = 45

    streams = [
        ("Strumień", 10),
        ("Długość pojazdu (m)", 10),
        ("Prędkość dojazdu - prosta (m/s)", 11),
        ("Prędkość dojazdu - łuk (m/s)", 11),
        ("Prędkość ewakuacji - prosta (m/s)", 11),
        ("Prędkość ewakuacji - łuk (m/s)", 11),
        ("Przyspie-szenie (m/s²)", 10),
    ]
    ws["Q21"] = "Parametry strumieni"
    ws["Q21"].font = bold
    for i, (text, width) in enumerate(streams):
        header(ws, 22, 17 + i, text, width)
        header(ws, 23, 17 + i, ws.cell(row=1, column=17 + i).column_letter)
    ws.row_dimensions[22].height = 45
    a4(ws, True)


def sheet2(ws, first):
    ws.title = "MATRYCA KOLIZJI"
    ws["A1"] = "MATRYCA CZASÓW MIĘDZYZIELONYCH"
    ws["A1"].font = title
    ws["F2"] = "Skrzyżowanie nr:"
    ws["F2"].alignment = Alignment(horizontal="right")
    ws["G2"] = "='%s'!C2" % first.title
    ws["G2"].font = bold
    ws["B6"] = "Ewakuacja"
    ws["A7"] = "Dojazd"
    for cell in ("B6", "A7"):
        ws[cell].font = bold
    ws.column_dimensions["A"].width = 16
    ws.column_dimensions["B"].width = 4
    for c in range(3, 15):  # C..N: room for 12 groups
        ws.column_dimensions[ws.cell(row=1, column=c).column_letter].width = 4.5
    ws.row_dimensions[6].height = 60
    table = [("Gr", 4), ("Strumienie", 16), ("Droga ewak. (m)", 8), ("Czas ewak. (s)", 8),
             ("Zielone min. (s)", 8), ("Fazy", 10)]
    for i, (text, width) in enumerate(table):  # O..T
        header(ws, 7, 15 + i, text, width)
    ws.cell(row=6, column=15, value="Wykaz grup").font = bold
    header(ws, 7, 22, "Zestaw", 7)  # V
    header(ws, 7, 23, "Kolejność faz", 16)  # W
    ws.cell(row=6, column=22, value="Zestawy faz").font = bold
    a4(ws, True)


def sheet3(ws):
    ws.title = "PARAMETRY WSTĘPNE"
    ws["A1"] = "PARAMETRY WSTĘPNE"
    ws["A1"].font = title
    ws["A3"] = "Grupa"
    for i, text in enumerate(("Zielone 1 (s)", "Zielone 2 (s)", "Zielone 3 (s)", "Zielone 4 (s)")):
        ws.cell(row=3, column=3 + 2 * i, value=text).font = bold
    a4(ws, False)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_template.py OUT")
    wb = openpyxl.Workbook()
    first = wb.active
    sheet1(first)
    sheet2(wb.create_sheet(), first)
    sheet3(wb.create_sheet())
    wb.active = 0
    props = wb.properties
    props.title = "Czasy międzyzielone"
    props.subject = "wersja 2.6"
    props.creator = "Tesmar"
    props.lastModifiedBy = "Tesmar"
    props.created = FIXED_TIME
    props.modified = FIXED_TIME
    wb.save(sys.argv[1])


if __name__ == "__main__":
    main()
