object StockModule: TStockModule
  OldCreateOrder = False
  Height = 150
  Width = 215
  object lblTitle: TLabel
    Caption = 'Lager – 倉庫 – Ωmega'
  end
  object StockCreator: TOmbralCreator
    DSNNameOrAlias = 'Stock'
    DSNUserDescription = 'Bestand für Köln'
    DatabaseDir = 'D:\Lager'
    Left = 24
    Top = 16
  end
end
